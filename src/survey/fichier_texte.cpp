// The text massif file "massif texte": keyword lines, one value per line, one
// TAB-separated line per shot, numbers in the general format with a fixed number of
// significant digits per field.
#include "survey/fichier_texte.h"

#include <array>
#include <climits>
#include <cmath>

#include "survey/fichier_massif.h"
#include "survey/nombres.h"
#include "survey/services_fichier.h"

namespace karst {

// ---- Text files -------------------------------------------------------------------------

void FichierTexteEcriture::EcritLigne(const std::string& s)
{
    Ecrit(s);
    flux_.Write("\r\n", 2);
}

FichierTexteLecture::FichierTexteLecture(const std::string& nom) : nom_(nom)
{
    TFileBufferStream f(nom, TFileBufferStream::kLecture);
    contenu_.resize(static_cast<std::size_t>(f.Size()));
    const int64_t lu = contenu_.empty() ? 0 : f.Read(contenu_.data(), f.Size());
    contenu_.resize(static_cast<std::size_t>(lu));
}

std::string FichierTexteLecture::LitLigne()
{
    if (Fin()) {
        ++ligne_;
        throw ErreurFichierEndommage("Le fichier " + nom_ + " est endommagé ou tronqué : la ligne " +
                                     FormatEntier(ligne_) + " manque");
    }
    const std::size_t fin = contenu_.find_first_of("\r\n", pos_);
    std::string l;
    if (fin == std::string::npos) {
        l = contenu_.substr(pos_);
        pos_ = contenu_.size();
    } else {
        l = contenu_.substr(pos_, fin - pos_);
        pos_ = fin + 1;
        if (contenu_[fin] == '\r' && pos_ < contenu_.size() && contenu_[pos_] == '\n')
            ++pos_;
    }
    ++ligne_;
    return l;
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
    Refuse("« " + valeur + " » n'est pas une valeur correcte");
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

// A measure or an angle that the reduction takes: bounded as where it is typed.
Reel6 LitMesure(const FichierTexteLecture& f, const std::string& valeur)
{
    const long double v = f.Reel(valeur);
    if (!MesureAdmise(v))
        f.Refuse("la valeur « " + valeur + " » dépasse les valeurs admises");
    return v;
}

Reel6 LigneR6(FichierTexteLecture& f) { return LitR6(f, f.LitLigne()); }

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

// A measured value: with the field's digits when they read back to the stored value, else
// with the fewest that do, so that every digit typed survives the text file and the two
// formats of one massif hold the same readings.
std::string Mesure(Reel6 v, int precision, int exposant)
{
    for (int p = precision; p < 17; ++p) {
        const std::string t = G(v, p, exposant);
        long double lu = 0;
        try {
            if (LitReel(t, lu) && Reel6::arrondit(lu) == v.d())
                return t;
        } catch (const ErreurReel6&) {
        }
    }
    return G(v, 17, exposant);
}

const char* ON(bool b) { return b ? "O" : "N"; }

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

const char* JetonLongueur(uint8_t code) { return code == kUniteMetres ? "m" : "cm"; }
uint8_t CodeLongueur(const std::string& t) { return t == "m" ? kUniteMetres : kUniteCentimetres; }

const char* JetonAzimut(uint8_t code)
{
    switch (code) {
    case kAzimutGrades: return "grade";
    case kAzimutDegresInverse: return "-deg";
    case kAzimutGradesInverse: return "-grade";
    default: return "deg";
    }
}

uint8_t CodeAzimut(const std::string& t)
{
    if (t == "grade")
        return kAzimutGrades;
    if (t == "-deg")
        return kAzimutDegresInverse;
    if (t == "-grade")
        return kAzimutGradesInverse;
    return kAzimutDegres;
}

// Codes 0 to 9; the Vulcain kinds (4 and 9) have their own tokens.
constexpr std::array<const char*, 10> kJetonsPente = {"deg",  "grade",  "mp",  "cmp",  "vul",
                                                      "-deg", "-grade", "-mp", "-cmp", "-vul"};

const char* JetonPente(uint8_t code) { return code < kJetonsPente.size() ? kJetonsPente[code] : "deg"; }

uint8_t CodePente(const std::string& t)
{
    for (std::size_t i = 0; i < kJetonsPente.size(); ++i)
        if (t == kJetonsPente[i])
            return static_cast<uint8_t>(i);
    return 0;
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

// Cuts a line at its TABs, one field at a time. The TAB after the last field may be
// missing: the line's end closes the field as well.
class Champs {
public:
    Champs(const FichierTexteLecture& f, const std::string& l) : f_(f), l_(l) {}
    std::string Suivant()
    {
        if (pos_ > l_.size())
            f_.Refuse("une valeur manque en fin de ligne");
        std::size_t t = l_.find('\t', pos_);
        if (t == std::string::npos)
            t = l_.size();
        std::string r = l_.substr(pos_, t - pos_);
        pos_ = t + 1;
        return r;
    }
    std::string Reste() const { return pos_ < l_.size() ? l_.substr(pos_) : std::string(); }
    std::string Jeton() { return SansFin(Suivant()); }
    Reel6 R6() { return LitR6(f_, Suivant()); }
    Reel6 Mesure() { return LitMesure(f_, Suivant()); }
    bool Booleen() { return Jeton() == "O"; }

private:
    const FichierTexteLecture& f_;
    const std::string& l_;
    std::size_t pos_ = 0;
};

// ---- Shot line --------------------------------------------------------------------------

void EcritVisee(const TVisee& v, FichierTexteEcriture& f)
{
    std::string l;
    auto champ = [&](const std::string& x) {
        l += x;
        l += '\t';
    };
    champ(Mesure(v.Longueur, 5, 3));
    champ(JetonLongueur(v.UniteLongueur));
    champ(Mesure(v.Azimut, 4, 1));
    champ(JetonAzimut(v.UniteAzimut));
    champ(Mesure(v.Pente, 3, 1));
    champ(JetonPente(v.UnitePente));
    champ(SurUneLigne(v.Droite, true));
    champ(SurUneLigne(v.Gauche, true));
    champ(JetonLongueur(v.UniteLargeur));
    champ(SurUneLigne(v.Haut, true));
    champ(SurUneLigne(v.Bas, true));
    champ(JetonLongueur(v.UniteHauteur));
    champ(FormatEntier(v.TailleSchema));
    champ(Mesure(v.CorrHorizontale, 4, 2));
    champ(ON(v.AvecCorrHorizontale));
    champ(Mesure(v.CorrDeveloppement, 4, 2));
    champ(ON(v.AvecCorrDeveloppement));
    champ(G(v.X, 9, 3));
    champ(G(v.Y, 9, 3));
    champ(G(v.Z, 9, 3));
    champ(G(v.Horizontale, 9, 3));
    champ(ON(v.AvecTopofil));
    if (v.AvecTopofil)
        champ(Mesure(v.Topofil, 7, 1));
    l += SurUneLigne(v.Commentaire.Chaine(), false);
    f.EcritLigne(l);
}

void LitVisee(TVisee& v, FichierTexteLecture& f)
{
    const std::string l = f.LitLigne();
    Champs c(f, l);
    v.Longueur = c.Mesure();
    v.UniteLongueur = CodeLongueur(c.Jeton());
    v.Azimut = c.Mesure();
    v.UniteAzimut = CodeAzimut(c.Jeton());
    v.Pente = c.Mesure();
    v.UnitePente = CodePente(c.Jeton());
    v.Droite = c.Suivant();
    v.Gauche = c.Suivant();
    v.UniteLargeur = CodeLongueur(c.Jeton());
    v.Haut = c.Suivant();
    v.Bas = c.Suivant();
    v.UniteHauteur = CodeLongueur(c.Jeton());
    v.TailleSchema = static_cast<uint8_t>(f.Entier(c.Suivant(), 0, 255));
    v.CorrHorizontale = c.Mesure();
    v.AvecCorrHorizontale = c.Booleen();
    v.CorrDeveloppement = c.Mesure();
    v.AvecCorrDeveloppement = c.Booleen();
    v.X = c.R6();
    v.Y = c.R6();
    v.Z = c.R6();
    v.Horizontale = c.R6();
    v.AvecTopofil = c.Booleen();
    if (v.AvecTopofil)
        v.Topofil = c.Mesure();
    v.Commentaire.Affecte(c.Reste());
}

// A line of continuation values, each followed by a TAB.
std::string LigneSuites(const std::array<int32_t, kMaxSuites + 1>& t, int n)
{
    std::string l;
    for (int i = 1; i <= n; ++i) {
        l += FormatEntier(t[static_cast<std::size_t>(i)]);
        l += '\t';
    }
    return l;
}

void LitSuites(FichierTexteLecture& f, std::array<int32_t, kMaxSuites + 1>& t, int n)
{
    const std::string l = f.LitLigne();
    Champs c(f, l);
    for (int i = 1; i <= n; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<int32_t>(f.Entier(c.Suivant(), INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- Records ----------------------------------------------------------------------------

void TEco::EcritTexte(FichierTexteEcriture& f) const { f.EcritLigne(SurUneLigne(s_, false)); }

void TEco::LitTexte(const std::string& ligne) { Affecte(ligne); }

void TRaccourci::EcritTexte(FichierTexteEcriture& f) const { f.EcritLigne(); }

void TRaccourci::LitTexte(FichierTexteLecture& f) { f.SauteLigne(); }

void TPointTopo::EcritTexte(FichierTexteEcriture& f) const
{
    if (Terminus) {
        f.EcritLigne("Terminus");
    } else {
        f.EcritLigne("Pt");
        Nom.EcritTexte(f);
        f.EcritLigne(FormatEntier(Indice));
    }
    f.EcritLigne(G(X, 9, 3) + "\t" + G(Y, 9, 3) + "\t" + G(Z, 9, 3));
}

void TPointTopo::LitTexte(FichierTexteLecture& f)
{
    Terminus = SansFin(f.LitLigne()) == "Terminus";
    if (!Terminus) {
        Nom.LitTexte(f.LitLigne());
        Indice = static_cast<uint8_t>(f.Entier(f.LitLigne(), 0, 255));
    }
    const std::string l = f.LitLigne();
    Champs c(f, l);
    X = c.R6();
    Y = c.R6();
    Z = c.R6();
}

void TPointCoupe::EcritTexte(FichierTexteEcriture& f) const
{
    Nom.EcritTexte(f);
    f.EcritLigne(FormatEntier(Indice));
    f.EcritLigne(G(X, 7, 3));
    f.EcritLigne(G(Z, 7, 3));
    f.EcritLigne(FormatEntier(Fiche));
    f.EcritLigne(FormatEntier(Galerie));
}

void TPointCoupe::LitTexte(FichierTexteLecture& f)
{
    Nom.LitTexte(f.LitLigne());
    Indice = static_cast<uint8_t>(f.Entier(f.LitLigne(), 0, 255));
    X = LigneR6(f);
    Z = LigneR6(f);
    Fiche = static_cast<int32_t>(f.Entier(f.LitLigne(), INT32_MIN, INT32_MAX));
    Galerie = static_cast<int32_t>(f.Entier(f.LitLigne(), INT32_MIN, INT32_MAX));
}

void TGalerie::EcritTexte(FichierTexteEcriture& f) const
{
    Depart.EcritTexte(f);
    Arrivee.EcritTexte(f);
    f.EcritLigne(G(SommeDX, 10, 4));
    f.EcritLigne(G(SommeDY, 10, 4));
    f.EcritLigne(G(SommeDZ, 10, 4));
    f.EcritLigne(G(SommeL, 7, 4));
    f.EcritLigne(G(SommeL2, 8, 4));
    f.EcritLigne(G(Developpement, 7, 4));
    f.EcritLigne(G(Coefficient, 5, 4));
    Commentaire.EcritTexte(f);
    f.EcritLigne("Nb_Visee " + FormatEntier(NbVisees));
    for (int k = 1; k <= NbVisees; ++k) {
        const TVisee* v = Visee(k);
        EcritVisee(v ? *v : TVisee(), f);
    }
    f.EcritLigne(G(CoefTopofil, 5, 4));
    for (bool b : {Placee, Drapeau1, Drapeau2, PremiereViseeNulle, DansCoupe, Sens, GaucheDroite})
        f.EcritLigne(ON(b));
    f.EcritLigne(FormatEntier(NbSuites));
    f.EcritLigne(LigneSuites(SuiteFiche, NbSuites));
    f.EcritLigne(LigneSuites(SuiteGalerie, NbSuites));
    if (f.Version >= 1004)
        f.EcritLigne("Couleur " + TexteCouleur(Couleur));
    f.EcritLigne("---");
}

void TGalerie::LitTexte(FichierTexteLecture& f)
{
    Depart.LitTexte(f);
    Arrivee.LitTexte(f);
    SommeDX = LigneR6(f);
    SommeDY = LigneR6(f);
    SommeDZ = LigneR6(f);
    SommeL = LigneR6(f);
    SommeL2 = LigneR6(f);
    Developpement = LigneR6(f);
    Coefficient = LigneR6(f);
    Commentaire.LitTexte(f.LitLigne());
    const int n = static_cast<int>(f.Entier(Apres(f.LitLigne(), 9), 0, kMaxVisees));
    for (int k = 1; k <= n; ++k) {
        auto v = std::make_unique<TVisee>();
        LitVisee(*v, f);
        PlaceVisee(k, std::move(v));
    }
    NbVisees = static_cast<uint8_t>(n);
    CoefTopofil = LigneR6(f);
    for (bool* b : {&Placee, &Drapeau1, &Drapeau2, &PremiereViseeNulle, &DansCoupe, &Sens, &GaucheDroite})
        *b = SansFin(f.LitLigne()) == "O";
    NbSuites = static_cast<int8_t>(f.Entier(f.LitLigne(), 0, kMaxSuites));
    LitSuites(f, SuiteFiche, NbSuites);
    LitSuites(f, SuiteGalerie, NbSuites);
    Couleur = f.Version >= 1004 ? LitCouleur(f, SansFin(Apres(f.LitLigne(), 8))) : 0;
    f.LitLigne();  // "---"
}

void TFiche::EcritTexte(FichierTexteEcriture& f) const
{
    f.EcritLigne("Date " + SurUneLigne(Date.str(), false));
    f.EcritLigne("Declinaison " + G(Declinaison, 7, 5));
    f.EcritLigne(Unite_Decli == kAzimutDegres ? "Unite_Decli deg" : "Unite_Decli grade");
    f.EcritLigne("Nb_Topographes " + FormatEntier(CompteAEcrire(Topographes.size())));
    for (const TEco& t : Topographes)
        t.EcritTexte(f);
    f.EcritLigne("Systeme " + SurUneLigne(Systeme.Chaine(), false));
    f.EcritLigne("Cavite " + SurUneLigne(Cavite.Chaine(), false));
    f.EcritLigne("Reseau " + SurUneLigne(Reseau.Chaine(), false));
    f.EcritLigne("Lieu " + SurUneLigne(Lieu.Chaine(), false));
    f.EcritLigne("Premiere " + G(Premiere, 6, 3));
    f.EcritLigne("TPST " + SurUneLigne(TPST.Chaine(), false));
    f.EcritLigne("Ordre " + FormatEntier(Ordre));
    f.EcritLigne("Nb_Galerie " + FormatEntier(CompteAEcrire(Galeries.size())));
    for (const TGalerie* g : Galeries)
        g->EcritTexte(f);
}

void TFiche::LitTexte(FichierTexteLecture& f)
{
    const std::string d = f.LitLigne();
    Date = d.size() > 5 ? d.substr(5, 8) : std::string();
    Declinaison = LitMesure(f, Apres(f.LitLigne(), 12));
    Unite_Decli = SansFin(f.LitLigne()) == "Unite_Decli deg" ? 0 : 1;
    const int nt = LitCompteTexte(f, Apres(f.LitLigne(), 15));
    for (int i = 0; i < nt; ++i)
        Topographes.emplace_back(f.LitLigne());
    Systeme.Affecte(Apres(f.LitLigne(), 8));
    Cavite.Affecte(Apres(f.LitLigne(), 7));
    Reseau.Affecte(Apres(f.LitLigne(), 7));
    Lieu.Affecte(Apres(f.LitLigne(), 5));
    Premiere = LitR6(f, Apres(f.LitLigne(), 9));
    TPST.Affecte(Apres(f.LitLigne(), 5));
    Ordre = static_cast<int32_t>(f.Entier(Apres(f.LitLigne(), 6), INT32_MIN, INT32_MAX));
    LitEnregistrements(Galeries, LitCompteTexte(f, Apres(f.LitLigne(), 11)), [&](TGalerie& g, int) { g.LitTexte(f); });
}

// ---- The massif -------------------------------------------------------------------------

void EcritMassifTexte(const TMassif& m, FichierTexteEcriture& f, IFenetreMassif& fenetre)
{
    f.EcritLigne("Version " + FormatEntier(f.Version));
    const std::size_t n = m.Fiches.size();
    f.EcritLigne("Nb_Fiche " + FormatEntier(CompteAEcrire(n)));
    f.EcritLigne();
    for (std::size_t i = 0; i < n; ++i) {
        m.Fiches[i]->EcritTexte(f);
        f.EcritLigne();
        fenetre.Progression(PourcentFiches(i, n));
        fenetre.TraiteMessages();
    }
    f.EcritLigne("Nb_Reference " + FormatEntier(CompteAEcrire(m.References.size())));
    for (const TPointTopo* p : m.References)
        p->EcritTexte(f);
    f.EcritLigne("Origine_Declinaison " + G(m.Origine_Declinaison, 6, 4));
    f.EcritLigne("Date_Declinaison " + SurUneLigne(m.Date_Declinaison.str(), false));
    f.EcritLigne("Variation_Declinaison " + G(m.Variation_Declinaison, 6, 4));
    f.EcritLigne("Angle_Geodesique " + G(m.Angle_Geodesique, 6, 4));
    f.EcritLigne("Nb_Coupe " + FormatEntier(CompteAEcrire(m.Coupe.size())));
    for (const TPointCoupe* c : m.Coupe)
        c->EcritTexte(f);
    if (f.Version < 1005)
        return;
    f.EcritLigne("Corbeille " + FormatEntier(CompteAEcrire(m.Corbeille.size())));
    f.EcritLigne();
    for (const TFiche* c : m.Corbeille) {
        c->EcritTexte(f);
        f.EcritLigne();
    }
    f.EcritLigne("Nb_Raccourci " + FormatEntier(CompteAEcrire(m.Raccourcis.size())));
    f.EcritLigne();
    for (const TRaccourci& r : m.Raccourcis)
        r.EcritTexte(f);
}

int LitVersionTexte(FichierTexteLecture& f) { return static_cast<int>(f.Entier(Apres(f.LitLigne(), 8), 1000, 65535)); }

void LitMassifTexte(TMassif& m, FichierTexteLecture& f, IFenetreMassif& fenetre)
{
    const int n = LitCompteTexte(f, Apres(f.LitLigne(), 9));
    f.SauteLigne();
    LitEnregistrements(m.Fiches, n, [&](TFiche& fiche, int i) {
        fiche.LitTexte(f);
        fenetre.Progression(PourcentFiches(static_cast<std::size_t>(i) + 1, static_cast<std::size_t>(n)));
        f.SauteLigne();
    });
    LitEnregistrements(m.References, LitCompteTexte(f, Apres(f.LitLigne(), 13)), [&](TPointTopo& p, int) {
        p.LitTexte(f);
        for (long double c : {p.X, p.Y, p.Z})
            if (!MesureAdmise(c))
                f.Refuse(HorsBornes("la coordonnée", c));
    });
    m.Origine_Declinaison = LitMesure(f, Apres(f.LitLigne(), 20));
    m.Date_Declinaison = Apres(f.LitLigne(), 17);
    m.Variation_Declinaison = LitMesure(f, Apres(f.LitLigne(), 22));
    m.Angle_Geodesique = LitMesure(f, Apres(f.LitLigne(), 17));
    LitEnregistrements(m.Coupe, LitCompteTexte(f, Apres(f.LitLigne(), 9)), [&](TPointCoupe& c, int) { c.LitTexte(f); });
    if (f.Version < 1005)
        return;
    const int nb = LitCompteTexte(f, Apres(f.LitLigne(), 10));
    f.SauteLigne();
    LitEnregistrements(m.Corbeille, nb, [&](TFiche& fiche, int) {
        fiche.LitTexte(f);
        f.SauteLigne();
    });
    const int nra = LitCompteTexte(f, Apres(f.LitLigne(), 13));
    f.SauteLigne();
    for (int i = 0; i < nra; ++i) {
        m.Raccourcis.emplace_back();
        m.Raccourcis.back().LitTexte(f);
    }
}

}  // namespace karst
