// The text massif file "massif texte": keyword lines, one value per line, one
// TAB-separated line per shot, numbers in the general format with a fixed number of
// significant digits per field.
#include "survey/fichier_texte.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <span>
#include <type_traits>

#include "survey/fichier_massif.h"
#include "survey/nombres.h"
#include "survey/services_fichier.h"
#include "survey/textes.h"

namespace karst {

// ---- Text files -------------------------------------------------------------------------

void FichierTexteEcriture::EcritLigne(const std::string& s)
{
    Ecrit(s);
    flux_.Write("\r\n", 2);
}

FichierTexteLecture::FichierTexteLecture(const std::string& nom, std::size_t longueurMax, FinsDeLigne fins)
    : LongueurMax(longueurMax), nom_(nom), flux_(std::make_unique<TFileBufferStream>(nom, TFileBufferStream::kLecture)),
      fins_(fins)
{
    Suite();
}

// The file comes one block at a time, after what the lines already taken held: what is
// kept never exceeds the longest line and two blocks, whatever the size of the file.
bool FichierTexteLecture::Suite()
{
    if (!flux_)
        return false;
    if (pos_ >= static_cast<std::size_t>(TFileBufferStream::kTailleBloc)) {
        contenu_.erase(0, pos_);
        pos_ = 0;
    }
    const std::size_t avant = contenu_.size();
    const int64_t n = std::min<int64_t>(flux_->Size() - flux_->Position(), TFileBufferStream::kTailleBloc);
    if (n > 0) {
        contenu_.resize(avant + static_cast<std::size_t>(n));
        contenu_.resize(avant + static_cast<std::size_t>(flux_->Read(contenu_.data() + avant, n)));
    }
    // A block that ends the file on a line end leaves no line after it.
    if (contenu_.size() == avant || flux_->Position() >= flux_->Size())
        flux_.reset();
    return contenu_.size() > avant;
}

std::string FichierTexteLecture::LitLigne(std::size_t longueurMax)
{
    if (Fin()) {
        ++ligne_;
        throw ErreurFichierEndommage("Le fichier " + nom_ + " est endommagé ou tronqué : la ligne " +
                                     FormatEntier(ligne_) + " manque");
    }
    const char* fins = fin_ == '\r' ? "\r" : fin_ == '\n' ? "\n" : "\r\n";
    // Positions are taken from the line's start: Suite may drop what comes before it. The
    // byte past the bound may be the CR of a CR LF, which is no part of the line.
    const std::size_t lu = longueurMax == std::string::npos ? longueurMax : longueurMax + 1;
    std::size_t fin, vu = 0;
    while ((fin = contenu_.find_first_of(fins, pos_ + vu)) == std::string::npos && contenu_.size() - pos_ <= lu) {
        vu = contenu_.size() - pos_;
        if (!Suite())
            break;
    }
    fin = (fin == std::string::npos ? contenu_.size() : fin) - pos_;
    ++ligne_;
    const bool crAvantLf = fin_ == '\n' && fin > 0 && pos_ + fin < contenu_.size() && contenu_[pos_ + fin - 1] == '\r';
    if (fin - (crAvantLf ? 1 : 0) > longueurMax)
        Refuse("elle dépasse les " + FormatEntier(static_cast<long long>(longueurMax)) +
               " octets qu'une ligne de ce fichier peut compter");
    // A CR at the end of what was read may be the first half of a CR LF.
    if (pos_ + fin + 1 == contenu_.size() && contenu_[pos_ + fin] == '\r')
        Suite();
    fin += pos_;
    std::string l = contenu_.substr(pos_, fin - pos_);
    pos_ = std::min(fin + 1, contenu_.size());
    if (fin < contenu_.size()) {
        const bool crlf = contenu_[fin] == '\r' && pos_ < contenu_.size() && contenu_[pos_] == '\n';
        if (fins_ == FinsDeLigne::CommeLaPremiere && fin_ == '\0')
            fin_ = contenu_[fin] == '\r' && !crlf ? '\r' : '\n';
        if (crlf && fin_ != '\r')
            ++pos_;
    }
    if (fins_ == FinsDeLigne::CommeLaPremiere) {
        if (fin_ == '\n' && !l.empty() && l.back() == '\r')
            l.pop_back();
        std::replace_if(
            l.begin(), l.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    }
    return l;
}

void FichierTexteLecture::Lignes(std::size_t nombreMax, std::vector<std::string>& lignes)
{
    while (!Fin()) {
        if (lignes.size() >= nombreMax) {
            ++ligne_;
            Refuse("le fichier dépasse les " + FormatEntier(static_cast<long long>(nombreMax)) +
                   " lignes qu'il peut compter");
        }
        lignes.push_back(LitLigne());
    }
}

void FichierTexteLecture::SauteLigne()
{
    if (!Fin())
        LitLigne();
}

std::string MessageEndommage(const std::string& nom, std::size_t ligne, const std::string& raison)
{
    return "Le fichier " + nom + " est endommagé : ligne " + FormatEntier(static_cast<long long>(ligne)) + ", " +
           raison;
}

void FichierTexteLecture::Refuse(const std::string& raison) const
{
    throw ErreurFichierEndommage(MessageEndommage(nom_, static_cast<std::size_t>(ligne_), raison));
}

void FichierTexteLecture::ValeurIncorrecte(const std::string& valeur) const
{
    Refuse("« " + Citation(valeur) + " » n'est pas une valeur correcte");
}

long double FichierTexteLecture::Reel(const std::string& valeur) const
{
    long double v = 0;
    if (!LitReel(valeur, v))
        ValeurIncorrecte(valeur);
    return v;
}

long long FichierTexteLecture::Entier(const std::string& valeur, long long min, long long max) const
{
    long long v = 0;
    if (!LitEntier(valeur, v) || v < min || v > max)
        ValeurIncorrecte(valeur);
    return v;
}

namespace {

// ---- Values -----------------------------------------------------------------------------

// The value of a keyword line: what follows the keyword's length (the keyword itself is
// not checked).
std::string Apres(const std::string& ligne, std::size_t n)
{
    return ligne.size() > n ? ligne.substr(n) : std::string();
}

Reel6 LitR6(const FichierTexteLecture& f, const std::string& valeur)
{
    const long double v = f.Reel(valeur);
    try {
        return Reel6(v);
    } catch (const ErreurReel6&) {
        // Written with 7 or 10 digits, the largest six-byte real rounds up past itself: that
        // text still stands for it, so that every value saved reopens.
        if (std::fabs(v) <= Reel6::maximum() * (1 + 1e-6L))
            return Reel6::sature(v);
        f.ValeurIncorrecte(valeur);
    }
}

// A measure, an angle or a reference coordinate: bounded as where it is typed, so that the
// reduction and the placement can compute with it.
Reel6 LitMesure(const FichierTexteLecture& f, const std::string& valeur)
{
    const long double v = f.Reel(valeur);
    if (!MesureAdmise(v))
        f.Refuse("la valeur « " + Citation(valeur) + " » dépasse les valeurs admises");
    return v;
}

// Blanks and TABs at the end of a line are optional: a hand editor may strip them.
std::string SansFin(const std::string& s)
{
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t'))
        --n;
    return s.substr(0, n);
}

int LitCompteTexte(const FichierTexteLecture& f, const std::string& valeur)
{
    return static_cast<int>(f.Entier(valeur, 0, static_cast<long long>(kCompteMax)));
}

std::string G(long double v, int precision, int exposant) { return FormatGeneral(v, precision, exposant); }

// A typed value: with the field's digits when they read back to the stored value, else
// with the fewest that do, so that every digit typed survives the text file and the two
// formats of one massif hold the same readings.
std::string TexteSaisi(Reel6 v, int precision, int exposant) { return TexteExact(v, precision, exposant); }

// A text that must stay on its line: line ends become blanks (and TABs too in a shot
// line's fields, which TABs separate).
std::string SurUneLigne(const std::string& s, bool aussiTab)
{
    std::string r = s;
    for (char& c : r)
        if (c == '\r' || c == '\n' || (aussiTab && c == '\t'))
            c = ' ';
    return r;
}

// ---- Colour names -----------------------------------------------------------------------

struct NomCouleur {
    const char* nom;
    uint32_t valeur;
};

constexpr uint32_t kSys = 0x80000000u;

constexpr std::array<NomCouleur, 52> kCouleurs = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", kSys + 10},
    {"clActiveCaption", kSys + 2},
    {"clAppWorkSpace", kSys + 12},
    {"clBackground", kSys + 1},
    {"clBtnFace", kSys + 15},
    {"clBtnHighlight", kSys + 20},
    {"clBtnShadow", kSys + 16},
    {"clBtnText", kSys + 18},
    {"clCaptionText", kSys + 9},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", kSys + 27},
    {"clGradientInactiveCaption", kSys + 28},
    {"clGrayText", kSys + 17},
    {"clHighlight", kSys + 13},
    {"clHighlightText", kSys + 14},
    {"clHotLight", kSys + 26},
    {"clInactiveBorder", kSys + 11},
    {"clInactiveCaption", kSys + 3},
    {"clInactiveCaptionText", kSys + 19},
    {"clInfoBk", kSys + 24},
    {"clInfoText", kSys + 23},
    {"clMenu", kSys + 4},
    {"clMenuBar", kSys + 30},
    {"clMenuHighlight", kSys + 29},
    {"clMenuText", kSys + 7},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", kSys + 0},
    {"cl3DDkShadow", kSys + 21},
    {"cl3DLight", kSys + 22},
    {"clWindow", kSys + 5},
    {"clWindowFrame", kSys + 6},
    {"clWindowText", kSys + 8},
}};

std::string TexteCouleur(int32_t couleur)
{
    const auto u = static_cast<uint32_t>(couleur);
    for (const NomCouleur& c : kCouleurs)
        if (c.valeur == u)
            return c.nom;
    static const char* chiffres = "0123456789ABCDEF";
    std::string r = "$";
    for (int i = 7; i >= 0; --i)
        r += chiffres[(u >> (4 * i)) & 0xF];
    return r;
}

int32_t LitCouleur(const FichierTexteLecture& f, const std::string& t)
{
    for (const NomCouleur& c : kCouleurs)
        if (EgalSansCasse(t, c.nom))
            return static_cast<int32_t>(c.valeur);
    if (!t.empty() && t[0] == '$') {
        if (t.size() < 2 || t.size() > 9)
            f.ValeurIncorrecte(t);
        uint32_t v = 0;
        for (std::size_t i = 1; i < t.size(); ++i) {
            const char c = MajAscii(t[i]);
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                f.ValeurIncorrecte(t);
            v = v << 4 | static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(v);
    }
    return static_cast<int32_t>(f.Entier(t, INT32_MIN, INT32_MAX));
}

// ---- The two directions -----------------------------------------------------------------

// What the reader makes of a unit token off its table (tokens are read case aside). The
// program writes only the table's tokens; a file edited by hand may hold others.
enum class HorsTable {
    Autre,    // the code given, without a word
    Signale,  // the code given, said once for the whole file with the number of its lines
    Refuse,   // a damaged file
};

// The records' layouts, listed once for both directions (below).
template <class A, class V>
void FormatVisee(A& a, V& v);

// The two directions over the text file, with the same members: a record's lines are
// listed once, in a Format function that reads through the one and writes through the
// other. A line is begun by Ligne (one value after its keyword: the rest of the line) or by
// Champs (values separated by TABs), and its values follow. The reader keeps the bounds of
// the binary reader (a measure within what may be typed, a count within its list) and
// names the line of every refusal. A value the caver typed (Saisie, or SaisieLibre where the
// binary reader sets no bound either) keeps every digit typed; a computed one (Reel) is
// written with its field's digits.
class LectureTexte {
public:
    explicit LectureTexte(FichierTexteLecture& fichier) : f(fichier) {}
    FichierTexteLecture& f;

    // The keyword itself is not checked: its length is what the value follows.
    LectureTexte& Ligne(const char* cle = "")
    {
        ligne_ = Apres(f.LitLigne(), std::strlen(cle));
        pos_ = 0;
        champs_ = false;
        return *this;
    }
    LectureTexte& Champs()
    {
        Ligne();
        champs_ = true;
        return *this;
    }
    // An empty line; the end of the file is no error here.
    void Blanc() { f.SauteLigne(); }

    void Reel(Reel6& r, int, int) { r = LitR6(f, Valeur()); }
    void Saisie(Reel6& r, int, int) { r = LitMesure(f, Valeur()); }
    void SaisieLibre(Reel6& r, int precision, int exposant) { Reel(r, precision, exposant); }
    void Entier(int32_t& v) { v = static_cast<int32_t>(f.Entier(Valeur(), INT32_MIN, INT32_MAX)); }
    template <class N>
    void Borne(N& n, int max)
    {
        n = static_cast<N>(f.Entier(Valeur(), 0, max));
    }
    void Octet(uint8_t& v) { Borne(v, 255); }
    void Booleen(bool& b, const char* vrai = "O", const char* = "N") { b = SansFin(Valeur()) == vrai; }
    void Code(uint8_t& c, std::span<const UniteMesure> unites, uint8_t autre, HorsTable hors = HorsTable::Autre)
    {
        const std::string t = SansFin(Valeur());
        // A file edited by hand may write a token in capitals: it still names its unit.
        for (const UniteMesure& u : unites)
            if (EgalSansCasse(t, u.Jeton)) {
                c = u.Code;
                return;
            }
        if (hors == HorsTable::Refuse)
            f.ValeurIncorrecte(t);
        c = autre;
        if (hors == HorsTable::Signale && f.Ligne() != derniereInconnue_) {
            derniereInconnue_ = f.Ligne();
            if (lignesInconnues_++ == 0) {
                premiereInconnue_ = f.Ligne();
                jetonInconnu_ = t;
            }
        }
    }
    // What the load says of the angles read in degrees for want of a known unit; "" when
    // there were none.
    std::string AvisUnites() const
    {
        if (lignesInconnues_ == 0)
            return {};
        const std::string autres = lignesInconnues_ == 1 ? std::string()
                                   : lignesInconnues_ == 2
                                       ? ", comme sur une autre ligne"
                                       : ", comme sur " + FormatEntier(lignesInconnues_ - 1) + " autres lignes";
        return "Le fichier " + f.Nom() + " : ligne " + FormatEntier(premiereInconnue_) + ", l'unité d'angle « " +
               EnUtf8(jetonInconnu_) + " » est inconnue" + autres +
               " : les angles dont l'unité est inconnue ont été lus en degrés.";
    }
    void Couleur(int32_t& c) { c = LitCouleur(f, SansFin(Valeur())); }
    void Texte(TEco& t) { t.Affecte(Valeur()); }
    template <std::size_t N>
    void Texte(TexteCourt<N>& t)
    {
        t = Valeur();
    }
    // The rest of the line, TABs included.
    void Reste(TEco& t) { t.Affecte(pos_ < ligne_.size() ? ligne_.substr(pos_) : std::string()); }
    void TabFinal() {}

    // A list after its count: `element(record, i, n)` fills each record created. With
    // `blanc`, an empty line follows the count.
    template <class T, class E>
    void Liste(const char* cle, ListePossedee<T>& liste, bool blanc, E element)
    {
        const int n = Compte(cle, blanc);
        LitEnregistrements(liste, n, [&](T& r, int i) { element(r, i, n); });
    }
    template <class T, class E>
    void Liste(const char* cle, std::vector<T>& liste, bool blanc, E element)
    {
        const int n = Compte(cle, blanc);
        for (int i = 0; i < n; ++i) {
            T x;
            element(x, i, n);
            liste.push_back(std::move(x));
        }
    }
    // The shots of a gallery, as many as its count read before them.
    void Visees(TGalerie& g)
    {
        for (int k = 1; k <= g.NbVisees; ++k) {
            auto v = std::make_unique<TVisee>();
            FormatVisee(*this, *v);
            g.PlaceVisee(k, std::move(v));
        }
    }
    // After sheet i of n.
    void Progression(IFenetreMassif& fenetre, int i, int n)
    {
        fenetre.Progression(PourcentFiches(static_cast<std::size_t>(i) + 1, static_cast<std::size_t>(n)));
    }

private:
    // The next value of the line: the rest of a keyword line, the next field of a line of
    // fields. The TAB after the last field may be missing: the line's end closes it too.
    std::string Valeur()
    {
        if (!champs_)
            return ligne_;
        if (pos_ > ligne_.size())
            f.Refuse("une valeur manque en fin de ligne");
        std::size_t t = ligne_.find('\t', pos_);
        if (t == std::string::npos)
            t = ligne_.size();
        std::string r = ligne_.substr(pos_, t - pos_);
        pos_ = t + 1;
        return r;
    }
    int Compte(const char* cle, bool blanc)
    {
        const int n = LitCompteTexte(f, Ligne(cle).Valeur());
        if (blanc)
            Blanc();
        return n;
    }

    std::string ligne_;
    std::size_t pos_ = 0;
    bool champs_ = false;
    // The lines whose angle unit names none: how many, the first, its token, the last.
    int lignesInconnues_ = 0, premiereInconnue_ = 0, derniereInconnue_ = 0;
    std::string jetonInconnu_;
};

// Lines are written whole: each one when the next begins, the last by Termine.
class EcritureTexte {
public:
    explicit EcritureTexte(FichierTexteEcriture& fichier) : f(fichier) {}
    FichierTexteEcriture& f;

    EcritureTexte& Ligne(const char* cle = "")
    {
        Termine();
        ligne_ = cle;
        ouverte_ = true;
        champs_ = false;
        premier_ = true;
        return *this;
    }
    EcritureTexte& Champs()
    {
        Ligne();
        champs_ = true;
        return *this;
    }
    void Blanc() { Ligne(); }
    void Termine()
    {
        if (ouverte_)
            f.EcritLigne(ligne_);
        ouverte_ = false;
    }

    void Reel(const Reel6& r, int precision, int exposant) { Ajoute(G(r, precision, exposant)); }
    void Saisie(const Reel6& r, int precision, int exposant) { Ajoute(TexteSaisi(r, precision, exposant)); }
    void SaisieLibre(const Reel6& r, int precision, int exposant) { Saisie(r, precision, exposant); }
    void Entier(int32_t v) { Ajoute(FormatEntier(v)); }
    template <class N>
    void Borne(N n, int)
    {
        Ajoute(FormatEntier(n));
    }
    void Octet(uint8_t v) { Ajoute(FormatEntier(v)); }
    void Booleen(bool b, const char* vrai = "O", const char* faux = "N") { Ajoute(b ? vrai : faux); }
    // A code off the table is written as the code `autre`.
    void Code(uint8_t c, std::span<const UniteMesure> unites, uint8_t autre, HorsTable = HorsTable::Autre)
    {
        for (uint8_t code : {c, autre})
            for (const UniteMesure& u : unites)
                if (u.Code == code)
                    return Ajoute(u.Jeton);
    }
    void Couleur(int32_t c) { Ajoute(TexteCouleur(c)); }
    void Texte(const TEco& t) { Ajoute(SurUneLigne(t.Chaine(), champs_)); }
    template <std::size_t N>
    void Texte(const TexteCourt<N>& t)
    {
        Ajoute(SurUneLigne(t.str(), champs_));
    }
    void Reste(const TEco& t) { Ajoute(SurUneLigne(t.Chaine(), false)); }
    // An empty last field: every value of the line is then followed by a TAB.
    void TabFinal() { Ajoute(""); }

    template <class L, class E>
    void Liste(const char* cle, const L& liste, bool blanc, E element)
    {
        const int n = CompteAEcrire(liste.size());
        Ligne(cle).Entier(n);
        if (blanc)
            Blanc();
        int i = 0;
        for (const auto& x : liste) {
            if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(x)>>)
                element(*x, i++, n);
            else
                element(x, i++, n);
        }
    }
    void Visees(const TGalerie& g)
    {
        // An empty slot among the shots in use would make a file that no reader accepts.
        const TVisee vide;
        for (int k = 1; k <= g.NbVisees; ++k) {
            const TVisee* v = g.Visee(k);
            FormatVisee(*this, v ? *v : vide);
        }
    }
    void Progression(IFenetreMassif& fenetre, int i, int n)
    {
        fenetre.Progression(PourcentFiches(static_cast<std::size_t>(i), static_cast<std::size_t>(n)));
        fenetre.TraiteMessages();
    }

private:
    void Ajoute(const std::string& valeur)
    {
        if (champs_ && !premier_)
            ligne_ += '\t';
        premier_ = false;
        ligne_ += valeur;
    }

    std::string ligne_;
    bool ouverte_ = false;
    bool champs_ = false;
    bool premier_ = true;
};

// ---- Layouts ----------------------------------------------------------------------------

// One line per shot; the comment ends it and may itself hold TABs.
template <class A, class V>
void FormatVisee(A& a, V& v)
{
    a.Champs();
    a.Saisie(v.Longueur, 5, 3);
    a.Code(v.UniteLongueur, kUnitesLongueur, kUniteCentimetres, HorsTable::Refuse);
    a.Saisie(v.Azimut, 4, 1);
    a.Code(v.UniteAzimut, kUnitesAzimut, kAzimutDegres, HorsTable::Signale);
    a.Saisie(v.Pente, 3, 1);
    a.Code(v.UnitePente, kUnitesPente, kPenteDegres, HorsTable::Signale);
    a.Texte(v.Droite);
    a.Texte(v.Gauche);
    a.Code(v.UniteLargeur, kUnitesLongueur, kUniteCentimetres, HorsTable::Refuse);
    a.Texte(v.Haut);
    a.Texte(v.Bas);
    a.Code(v.UniteHauteur, kUnitesLongueur, kUniteCentimetres, HorsTable::Refuse);
    a.Octet(v.TailleSchema);
    a.Saisie(v.CorrHorizontale, 4, 2);
    a.Booleen(v.AvecCorrHorizontale);
    a.Saisie(v.CorrDeveloppement, 4, 2);
    a.Booleen(v.AvecCorrDeveloppement);
    a.Reel(v.X, 9, 3);
    a.Reel(v.Y, 9, 3);
    a.Reel(v.Z, 9, 3);
    a.Reel(v.Horizontale, 9, 3);
    a.Booleen(v.AvecTopofil);
    if (v.AvecTopofil)
        a.Saisie(v.Topofil, 7, 1);
    a.Reste(v.Commentaire);
}

// A reference point's coordinates are bounded as where they are typed, so that the
// computation can place the survey from them.
template <class A, class P>
void FormatPoint(A& a, P& p, bool reference = false)
{
    a.Ligne().Booleen(p.Terminus, "Terminus", "Pt");
    if (!p.Terminus) {
        a.Ligne().Texte(p.Nom);
        a.Ligne().Octet(p.Indice);
    }
    a.Champs();
    for (auto* c : {&p.X, &p.Y, &p.Z}) {
        if (reference)
            a.Saisie(*c, 9, 3);
        else
            a.Reel(*c, 9, 3);
    }
}

template <class A, class P>
void FormatPointCoupe(A& a, P& p)
{
    a.Ligne().Texte(p.Nom);
    a.Ligne().Octet(p.Indice);
    a.Ligne().Reel(p.X, 7, 3);
    a.Ligne().Reel(p.Z, 7, 3);
    a.Ligne().Entier(p.Fiche);
    a.Ligne().Entier(p.Galerie);
}

// Files before 1004 have no colour: a gallery read from one keeps a new gallery's 0.
template <class A, class Gal>
void FormatGalerie(A& a, Gal& g)
{
    FormatPoint(a, g.Depart);
    FormatPoint(a, g.Arrivee);
    a.Ligne().Reel(g.SommeDX, 10, 4);
    a.Ligne().Reel(g.SommeDY, 10, 4);
    a.Ligne().Reel(g.SommeDZ, 10, 4);
    a.Ligne().Reel(g.SommeL, 7, 4);
    a.Ligne().Reel(g.SommeL2, 8, 4);
    a.Ligne().Reel(g.Developpement, 7, 4);
    a.Ligne().SaisieLibre(g.Coefficient, 5, 4);
    a.Ligne().Texte(g.Commentaire);
    a.Ligne("Nb_Visee ").Borne(g.NbVisees, kMaxVisees);
    a.Visees(g);
    a.Ligne().SaisieLibre(g.CoefTopofil, 5, 4);
    for (auto* b : {&g.Placee, &g.Drapeau1, &g.Drapeau2, &g.PremiereViseeNulle, &g.DansCoupe, &g.Sens, &g.GaucheDroite})
        a.Ligne().Booleen(*b);
    a.Ligne().Borne(g.NbSuites, kMaxSuites);
    for (auto* suites : {&g.SuiteFiche, &g.SuiteGalerie}) {
        a.Champs();
        for (int i = 1; i <= g.NbSuites; ++i)
            a.Entier((*suites)[static_cast<std::size_t>(i)]);
        a.TabFinal();
    }
    if (a.f.Version >= 1004)
        a.Ligne("Couleur ").Couleur(g.Couleur);
    a.Ligne("---");
}

template <class A, class F>
void FormatFiche(A& a, F& fiche)
{
    a.Ligne("Date ").Texte(fiche.Date);
    a.Ligne("Declinaison ").Saisie(fiche.Declinaison, 7, 5);
    a.Ligne().Code(fiche.Unite_Decli, kUnitesDeclinaison, kAzimutGrades);
    a.Liste("Nb_Topographes ", fiche.Topographes, false, [&a](auto& nom, int, int) { a.Ligne().Texte(nom); });
    a.Ligne("Systeme ").Texte(fiche.Systeme);
    a.Ligne("Cavite ").Texte(fiche.Cavite);
    a.Ligne("Reseau ").Texte(fiche.Reseau);
    a.Ligne("Lieu ").Texte(fiche.Lieu);
    a.Ligne("Premiere ").SaisieLibre(fiche.Premiere, 6, 3);
    a.Ligne("TPST ").Texte(fiche.TPST);
    a.Ligne("Ordre ").Entier(fiche.Ordre);
    a.Liste("Nb_Galerie ", fiche.Galeries, false, [&a](auto& g, int, int) { FormatGalerie(a, g); });
}

// Everything after the version line; the progress bar follows the sheets.
template <class A, class M>
void FormatMassif(A& a, M& m, IFenetreMassif& fenetre)
{
    a.Liste("Nb_Fiche ", m.Fiches, true, [&](auto& fiche, int i, int n) {
        FormatFiche(a, fiche);
        a.Blanc();
        a.Progression(fenetre, i, n);
    });
    a.Liste("Nb_Reference ", m.References, false, [&a](auto& p, int, int) { FormatPoint(a, p, true); });
    a.Ligne("Origine_Declinaison ").Saisie(m.Origine_Declinaison, 6, 4);
    a.Ligne("Date_Declinaison ").Texte(m.Date_Declinaison);
    a.Ligne("Variation_Declinaison ").Saisie(m.Variation_Declinaison, 6, 4);
    a.Ligne("Angle_Geodesique ").Saisie(m.Angle_Geodesique, 6, 4);
    a.Liste("Nb_Coupe ", m.Coupe, false, [&a](auto& c, int, int) { FormatPointCoupe(a, c); });
    if (a.f.Version < 1005)
        return;
    a.Liste("Corbeille ", m.Corbeille, true, [&a](auto& fiche, int, int) {
        FormatFiche(a, fiche);
        a.Blanc();
    });
    a.Liste("Nb_Raccourci ", m.Raccourcis, true, [&a](auto&, int, int) { a.Blanc(); });
}

}  // namespace

// ---- The massif -------------------------------------------------------------------------

void EcritMassifTexte(const TMassif& m, FichierTexteEcriture& f, IFenetreMassif& fenetre)
{
    EcritureTexte e(f);
    e.Ligne("Version ").Entier(f.Version);
    FormatMassif(e, m, fenetre);
    e.Termine();
}

int LitVersionTexte(FichierTexteLecture& f)
{
    // Whatever a first line longer than a version line holds, it is no version.
    std::string l = f.LitLigne(1024);
    // A text editor may have put a UTF-8 byte-order mark before it: no part of the massif.
    if (l.rfind("\xEF\xBB\xBF", 0) == 0)
        l.erase(0, 3);
    return static_cast<int>(f.Entier(Apres(l, 8), 1000, 65535));
}

void LitMassifTexte(TMassif& m, FichierTexteLecture& f, IFenetreMassif& fenetre)
{
    // The longest line is a shot's: its comment, up to the 65,535 characters of a TEco,
    // after twenty-three short fields. A longer one is no line of a massif.
    f.LongueurMax = 65535 + 4096;
    LectureTexte l(f);
    FormatMassif(l, m, fenetre);
    f.Avis = l.AvisUnites();
}

}  // namespace karst
