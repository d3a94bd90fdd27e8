#include "dialogs/recherche.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// A part of a date: an integer that may have blanks before it but not after it.
bool PartieDate(const std::string& t, int& valeur)
{
    if (t.empty() || t.back() == ' ')
        return false;
    long long v = 0;
    if (!LitEntier(t, v) || v < -99999 || v > 99999)
        return false;
    valeur = static_cast<int>(v);
    return true;
}

bool Blanc(const std::string& t) { return t.find_first_not_of(' ') == std::string::npos; }

// The sheet text begins with the criterion (both upper-cased).
bool Commence(const std::string& texte, const std::string& critere)
{
    return texte.size() >= critere.size() && texte.compare(0, critere.size(), critere) == 0;
}

bool Contient(const std::string& texte, const std::string& critere)
{
    return MajAscii(texte).find(critere) != std::string::npos;
}

bool TexteDansFiche(const TFiche& f, const std::string& texte)
{
    for (const TEco* e : {&f.Systeme, &f.Cavite, &f.Reseau, &f.Lieu})
        if (Contient(e->Chaine(), texte))
            return true;
    for (const TGalerie* g : f.Galeries) {
        if (!g)
            continue;
        if (Contient(g->Depart.Nom.Chaine(), texte) || Contient(g->Arrivee.Nom.Chaine(), texte) ||
            Contient(g->Commentaire.Chaine(), texte))
            return true;
        for (int k = 1; k <= g->NbVisees; ++k)
            if (const TVisee* v = g->Visee(k); v && Contient(v->Commentaire.Chaine(), texte))
                return true;
    }
    return false;
}

std::string Critere(const QLineEdit* e, std::size_t limite)
{
    std::string t = MajAscii(VersCp1252(e->text()));
    if (t.size() > limite)
        t.resize(limite);
    return t;
}

}  // namespace

int DateVersEntier(const std::string& date, bool borneHaute)
{
    // A short text is read as if blanks completed it.
    std::string t = date;
    if (t.size() < 8)
        t.resize(8, ' ');
    const std::string jour = t.substr(0, 2), mois = t.substr(3, 2), annee = t.substr(6, 2);
    int cle = 0, v = 0;
    if (!Blanc(jour)) {
        if (PartieDate(jour, v))
            cle = v;
    } else if (borneHaute)
        cle = 31;
    if (!Blanc(mois)) {
        if (PartieDate(mois, v))
            cle += 32 * v;
    } else if (borneHaute)
        cle += 12 * 32;
    if (!Blanc(annee) && PartieDate(annee, v)) {
        if (v < 50)
            v += 100;
        cle += 400 * v;
    }
    return cle;
}

bool CriteresRecherche::Correspond(const TFiche& f) const
{
    const std::pair<const TEco*, const std::string*> adresse[] = {
        {&f.Systeme, &Systeme}, {&f.Cavite, &Cavite}, {&f.Reseau, &Reseau}, {&f.Lieu, &Lieu}};
    for (const auto& [partie, critere] : adresse)
        if (!critere->empty() && !Commence(partie->ChaineMaj(), *critere))
            return false;

    const int k = DateVersEntier(f.Date, false);
    if (ModeDate == Date::Entre && (k > DateVersEntier(DateAvant, true) || k < DateVersEntier(DateApres, false)))
        return false;
    if (ModeDate == Date::Le && (k < DateVersEntier(DateLe, false) || k > DateVersEntier(DateLe, true)))
        return false;

    if (!Point.empty()) {
        auto egal = [this](const TPointTopo& p) {
            return p.Nom.ChaineMaj() == Point && (Indice < 0 || p.Indice == Indice);
        };
        bool trouve = false;
        for (const TGalerie* g : f.Galeries)
            if (g && (egal(g->Depart) || egal(g->Arrivee))) {
                trouve = true;
                break;
            }
        if (!trouve)
            return false;
    }

    if (!Topographe.empty()) {
        bool trouve = false;
        for (const TEco& t : f.Topographes)
            if (Commence(t.ChaineMaj(), Topographe)) {
                trouve = true;
                break;
            }
        if (!trouve)
            return false;
    }

    return Texte.empty() || TexteDansFiche(f, Texte);
}

// ---- controls ----

QRadioButton* NouveauRadio(const QString& texte, const char* nom, QWidget* parent)
{
    auto* r = new QRadioButton(texte, parent);
    r->setObjectName(QString::fromLatin1(nom));
    return r;
}

QLineEdit* EditionDate(const char* nom, QWidget* parent)
{
    QLineEdit* e = NouvelleEdition(nom, parent);
    AccepteAnneeLongue(e);
    e->setMaximumWidth(80);
    return e;
}

std::string LitDate(const QLineEdit* e)
{
    std::string date;
    if (LitDateLongue(e, date))
        return date;
    std::string t = VersCp1252(e->displayText());
    t.resize(8, ' ');
    return t;
}

void FixeDate(QLineEdit* e, const std::string& date)
{
    std::string t = date;
    t.resize(8, ' ');
    e->setText(DepuisCp1252(t));
}

// ---- the window ----

TBaseRecherche::TBaseRecherche(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BaseRecherche"));
    setProperty("HelpContext", 13);
    setWindowTitle(QStringLiteral("Recherche"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    QFont gras(QStringLiteral("Arial"));
    gras.setBold(true);
    setFont(gras);

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("PageControl1"));

    auto* endroit = new QWidget(Pages);
    auto* formeEndroit = new QFormLayout(endroit);
    auto ligne = [](QFormLayout* forme, const QString& libelle, QWidget* champ) {
        auto* l = new QLabel(libelle, champ->parentWidget());
        l->setBuddy(champ);
        forme->addRow(l, champ);
    };
    Systeme = NouvelleEdition("Systeme", endroit);
    Cavite = NouvelleEdition("Cavite", endroit);
    Reseau = NouvelleEdition("Reseau", endroit);
    Lieu = NouvelleEdition("Lieu", endroit);
    ligne(formeEndroit, QStringLiteral("S&ystème"), Systeme);
    ligne(formeEndroit, QStringLiteral("&Cavité"), Cavite);
    ligne(formeEndroit, QStringLiteral("Ré&seau"), Reseau);
    ligne(formeEndroit, QStringLiteral("&Lieu"), Lieu);
    Pages->addTab(endroit, QStringLiteral("Endroit"));

    auto* date = new QWidget(Pages);
    auto* grille = new QGridLayout(date);
    Date_tout = NouveauRadio(QStringLiteral("Toutes les fiches"), "Date_tout", date);
    Date_exacte = NouveauRadio(QStringLiteral("Topographiées le"), "Date_exacte", date);
    Date_interval = NouveauRadio(QStringLiteral("Topographiées entre"), "Date_interval", date);
    Date_le = EditionDate("Date_le", date);
    Date_apres = EditionDate("Date_apres", date);
    Date_Avant = EditionDate("Date_Avant", date);
    Date_le->setAccessibleName(Date_exacte->text());
    Date_apres->setAccessibleName(Date_interval->text());
    Date_Avant->setAccessibleName(QStringLiteral("et le"));
    grille->addWidget(Date_tout, 0, 0);
    grille->addWidget(Date_exacte, 1, 0);
    grille->addWidget(Date_le, 1, 1);
    grille->addWidget(Date_interval, 2, 0);
    grille->addWidget(Date_apres, 2, 1);
    grille->addWidget(new QLabel(QStringLiteral("et le"), date), 2, 2);
    grille->addWidget(Date_Avant, 2, 3);
    // One group: selecting a button deselects the other two.
    auto* groupe = new QButtonGroup(date);
    for (QRadioButton* r : {Date_tout, Date_exacte, Date_interval}) {
        groupe->addButton(r);
        connect(r, &QRadioButton::toggled, this, [this] { Maj_Date(); });
    }
    Pages->addTab(date, QStringLiteral("Date"));

    auto* avancee = new QWidget(Pages);
    auto* colonne = new QVBoxLayout(avancee);
    auto* formeAvancee = new QFormLayout;
    Topographe = NouvelleEdition("Topographe", avancee);
    ligne(formeAvancee, QStringLiteral("To&pographe"), Topographe);
    colonne->addLayout(formeAvancee);
    auto* point = new QGroupBox(QStringLiteral("P&oint topo"), avancee);
    auto* formePoint = new QFormLayout(point);
    Point_Topo = NouvelleEdition("Point_Topo", point);
    Indice = NouvelleEdition("Indice", point);
    FiltreCles(Indice);
    ligne(formePoint, QStringLiteral("&Nom"), Point_Topo);
    ligne(formePoint, QStringLiteral("&Indice"), Indice);
    colonne->addWidget(point);
    auto* formeTexte = new QFormLayout;
    DuTexte = NouvelleEdition("DuTexte", avancee);
    ligne(formeTexte, QStringLiteral("&Contenant le texte"), DuTexte);
    colonne->addLayout(formeTexte);
    Pages->addTab(avancee, QStringLiteral("Avancée"));

    Button1 = NouveauBouton(QStringLiteral("&Rechercher ..."), "Button1", this);
    Button1->setToolTip(QStringLiteral("Recherche suivant les propositions"));
    Button1->setDefault(true);
    Button2 = NouveauBouton(QStringLiteral("&Tout sauf ..."), "Button2", this);
    Button2->setToolTip(QStringLiteral("Recherche en excluant les propositions"));
    Button3 = NouveauBouton(QStringLiteral("Annuler"), "Button3", this);
    Button3->setToolTip(QStringLiteral("Annule la recherche"));
    connect(Button1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(Pages);
    principal->addLayout(LigneBoutons({Button1, Button2, Button3}));
    Date_tout->setChecked(true);
}

void TBaseRecherche::Initialise(const ListeFiches* liste, ListeFiches* resultat, const std::string& point,
                                const std::string& systeme, const std::string& cavite, const std::string& reseau,
                                const std::string& lieu)
{
    Liste = liste;
    Resultat = resultat;
    Point_Topo->setText(DepuisCp1252(point));
    Systeme->setText(DepuisCp1252(systeme));
    Cavite->setText(DepuisCp1252(cavite));
    Reseau->setText(DepuisCp1252(reseau));
    Lieu->setText(DepuisCp1252(lieu));
    Indice->clear();
    Topographe->clear();
    DuTexte->clear();
    for (QLineEdit* e : {Date_le, Date_apres, Date_Avant})
        FixeDate(e, "  /  /  ");
    Date_tout->setChecked(true);
    Maj_Date();
    Pages->setCurrentIndex(0);
    // What is typed as the window opens goes to its first field, wherever the keyboard was
    // when it last closed.
    Systeme->setFocus();
    setResult(0);
}

void TBaseRecherche::Maj_Date()
{
    Date_apres->setEnabled(Date_interval->isChecked());
    Date_Avant->setEnabled(Date_interval->isChecked());
    Date_le->setEnabled(Date_exacte->isChecked());
}

void TBaseRecherche::LitCriteres()
{
    constexpr std::size_t kLongueur = 50;
    CriteresRecherche& c = Criteres;
    c.Systeme = Critere(Systeme, kLongueur);
    c.Cavite = Critere(Cavite, kLongueur);
    c.Reseau = Critere(Reseau, kLongueur);
    c.Lieu = Critere(Lieu, kLongueur);
    c.Point = Critere(Point_Topo, kLongueur);
    c.Topographe = Critere(Topographe, std::string::npos);
    c.Texte = Critere(DuTexte, std::string::npos);
    long long indice = -1;
    if (!LitEntier(VersCp1252(Indice->text()), indice) || indice < 0 || indice > 0x7FFFFFFF)
        indice = -1;
    c.Indice = static_cast<int>(indice);
    c.ModeDate = Date_interval->isChecked() ? CriteresRecherche::Date::Entre
                 : Date_exacte->isChecked() ? CriteresRecherche::Date::Le
                                            : CriteresRecherche::Date::Toutes;
    c.DateLe = LitDate(Date_le);
    c.DateApres = LitDate(Date_apres);
    c.DateAvant = LitDate(Date_Avant);
}

void TBaseRecherche::Cherche(bool inverse)
{
    // An empty index matches every station; a typed one is a station index.
    if (!EntiersAdmis({Indice}, 0, kIndiceMax))
        return;
    // A year the two digits cannot hold would search another century.
    std::string date;
    for (QLineEdit* e : {Date_le, Date_apres, Date_Avant})
        if (e->isEnabled() && !LitDateLongue(e, date)) {
            AvertitRefus(NomChamp(e), TexteDateMontre(e), ExigeAnnee());
            e->setFocus();
            return;
        }
    LitCriteres();
    if (Liste && Resultat)
        for (TFiche* f : *Liste)
            if (f && Criteres.Correspond(*f) != inverse)
                Resultat->push_back(f);
    if (!Resultat || Resultat->empty()) {
        Invite().Message(QStringLiteral("Il n'y a pas de fiche correspondante"), Icone::Aucune, {Bouton::OK});
        setResult(0);
        return;
    }
    done(inverse ? ToutSauf : QDialog::Accepted);
}

}  // namespace karst
