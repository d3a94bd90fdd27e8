#include "formulaires/opt_tableau.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "formulaires/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/messages_communs.h"

namespace karst {

namespace {

const char* const kNomsColonnes[kNbColonnes + 1] = {
    "",  "Longueur", "Azimut",          "Pente",        "Largeur",       "Hauteur",           "X",
    "Y", "Z",        "Dév. horizontal", "Commentaires", "Développement", "Long. horizontale", "Delta Z"};

const QStringList kItems{QStringLiteral("Date"),     QStringLiteral("Système"), QStringLiteral("Cavité"),
                         QStringLiteral("Réseau"),   QStringLiteral("Lieu"),    QStringLiteral("Décli"),
                         QStringLiteral("Dev brut"), QStringLiteral("Dev net"), QStringLiteral("Topographes"),
                         QStringLiteral("TPST"),     QStringLiteral("Première")};

constexpr int kLargeur = 4, kHauteur = 5;  // the only columns that can be split

QString Separateur(char c) { return c == '\0' ? QString() : DepuisCp1252(std::string(1, c)); }

}  // namespace

TOpt_Tableau::TOpt_Tableau(ContexteVues& contexte, QWidget* parent)
    : DialogueOptions(QStringLiteral("Mise en page du tableau"), "Opt_Tableau", parent), contexte_(contexte)
{
    Formulaire colonnes = Page(QStringLiteral("Colonnes"));
    ListBox1 = new ListeEditee(colonnes.Conteneur());
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    colonnes.Ajoute(ListBox1);
    Haut = colonnes.Bouton("Haut", QStringLiteral("&Monter"));
    Bas = colonnes.Bouton("Bas", QStringLiteral("&Descendre"));
    Jaffiche = colonnes.Case("Jaffiche", QStringLiteral("Afficher"));
    Largeur = colonnes.Entier("Largeur", QStringLiteral("Largeur (mm)"));
    Double = colonnes.Case("Double", QStringLiteral("Dédoubler"));
    Tete1 = colonnes.Texte("Tete1", QStringLiteral("En-tête"));
    Tete2 = colonnes.Texte("Tete2", QString());
    Separation = colonnes.Texte("Separation", QStringLiteral("Séparateur"));
    LabelSeparation = colonnes.Libelle(Separation);

    const char* noms[2][9] = {
        {"ListBox2", "Jaffiche2", "La_Police", "Intitule", "X_Pos", "Y_Pos", "Rappel", "Hauteur", "En-tête général"},
        {"ListBox3", "Jaffiche3", "La_PoliceR", "IntituleR", "X_PosR", "Y_PosR", "RappelR", "HauteurR",
         "En-tête restreint"}};
    QCheckBox* rappels[2];
    QLineEdit* hauteurs[2];
    for (int h = 0; h < 2; ++h) {
        Formulaire f = Page(QString::fromUtf8(noms[h][8]));
        EditeurEnTete& e = entetes_[h];
        e.liste = new ListeEditee(f.Conteneur());
        e.liste->setObjectName(QString::fromLatin1(noms[h][0]));
        e.liste->addItems(kItems);
        f.Ajoute(e.liste);
        e.affiche = f.Case(noms[h][1], QStringLiteral("Afficher"));
        e.police = f.Bouton(noms[h][2], QStringLiteral("Police ..."));
        e.intitule = f.Texte(noms[h][3], QStringLiteral("Intitulé"));
        e.x = f.Entier(noms[h][4], QStringLiteral("Position (mm)"));
        e.y = f.Entier(noms[h][5], QString());
        e.x->setAccessibleName(QStringLiteral("Position X (mm)"));
        e.y->setAccessibleName(QStringLiteral("Position Y (mm)"));
        rappels[h] = f.Case(noms[h][6], QStringLiteral("Rappel colonnes"));
        hauteurs[h] = f.Entier(noms[h][7], QStringLiteral("Hauteur (mm)"));
        connect(e.liste, &QListWidget::currentRowChanged, this, [this, h](int ligne) {
            if (!remplissage_ && ligne >= 0)
                EnTeteClick(h);
        });
        connect(e.affiche, &QCheckBox::toggled, this, [this, h] { ActiveEnTete(h); });
        connect(e.police, &QPushButton::clicked, this, [this, h] {
            const int i = entetes_[h].enCours;
            if (i >= 1)
                Invite().ChoixPolice(travail_.EnTetePolice[i][h]);
        });
    }
    ListBox2 = entetes_[0].liste;
    ListBox3 = entetes_[1].liste;
    Jaffiche2 = entetes_[0].affiche;
    Jaffiche3 = entetes_[1].affiche;
    La_Police = entetes_[0].police;
    La_PoliceR = entetes_[1].police;
    Intitule = entetes_[0].intitule;
    IntituleR = entetes_[1].intitule;
    X_Pos = entetes_[0].x;
    X_PosR = entetes_[1].x;
    Y_Pos = entetes_[0].y;
    Y_PosR = entetes_[1].y;
    Rappel = rappels[0];
    RappelR = rappels[1];
    Hauteur = hauteurs[0];
    HauteurR = hauteurs[1];

    using O = TOptions_Tableau;
    FormulaireLie<O> ligne(Page(QStringLiteral("Ligne")), liens_);
    Hauteur_Ligne = ligne.Entier("Hauteur_Ligne", QStringLiteral("Hauteur d'une ligne (mm)"), &O::Hauteur_Ligne);
    Ptt_Trait = ligne.Entier("Ptt_Trait", QStringLiteral("Trait entre visées (0,1 mm)"), &O::Ptt_Trait);
    Gros_Trait = ligne.Entier("Gros_Trait", QStringLiteral("Trait entre galeries (0,1 mm)"), &O::Gros_Trait);
    Button1 = ligne.BoutonFonte("Button1", QStringLiteral("Police standard ..."), &travail_.PoliceStandard);
    Button2 = ligne.BoutonFonte("Button2", QStringLiteral("Police carrefour ..."), &travail_.PoliceCarrefour);

    Formulaire zero = Page(QStringLiteral("Zéro"));
    Formulaire point = zero.Groupe(QStringLiteral("Point topographique"));
    Point_Topo = point.Texte("Point_Topo", QStringLiteral("Nom"));
    Indice = point.Entier("Indice", QStringLiteral("Indice"));
    BitBtn1 = point.Bouton("BitBtn1", QStringLiteral("Rechercher ..."));
    FormulaireLie<O> bloquer(zero.Groupe(QStringLiteral("Bloquer")), liens_);
    EnPlan = bloquer.Case("EnPlan", QStringLiteral("X et Y"), &O::EnPlan);
    EnAltitude = bloquer.Case("EnAltitude", QStringLiteral("Z"), &O::EnAltitude);

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int rangee) {
        if (!remplissage_ && rangee >= 0)
            ListBox1Click();
    });
    connect(Haut, &QPushButton::clicked, this, &TOpt_Tableau::HautClick);
    connect(Bas, &QPushButton::clicked, this, &TOpt_Tableau::BasClick);
    connect(Jaffiche, &QCheckBox::toggled, this, &TOpt_Tableau::ActiveColonne);
    connect(Double, &QCheckBox::toggled, this, &TOpt_Tableau::ActiveColonne);
    connect(BitBtn1, &QPushButton::clicked, this, &TOpt_Tableau::BitBtn1Click);
}

void TOpt_Tableau::Initialise(const TOptions_Tableau& o)
{
    travail_ = o;
    // A damaged model file may hold an order that is not a ranking of the 13 columns:
    // the columns it places twice or out of range go to the free places, in column order.
    position_.fill(0);
    std::array<bool, kNbColonnes + 1> place{};
    for (int n = 1; n <= kNbColonnes; ++n) {
        const int p = o.Ordre[n];
        if (p >= 1 && p <= kNbColonnes && position_[p] == 0) {
            position_[p] = n;
            place[n] = true;
        }
    }
    for (int n = 1, p = 1; n <= kNbColonnes; ++n) {
        if (place[n])
            continue;
        while (position_[p] != 0)
            ++p;
        position_[p] = n;
    }
    largeur_ = o.Largeur;
    liens_.Montre(o);
    remplissage_ = true;
    ListBox1->clear();
    for (int p = 1; p <= kNbColonnes; ++p)
        ListBox1->addItem(QString::fromUtf8(kNomsColonnes[position_[p]]));
    remplissage_ = false;
    MontreEntier(Indice, o.PointZero.Indice);
    MontreTexte(Point_Topo, o.PointZero.Nom.Chaine());
}

void TOpt_Tableau::Prepare()
{
    colonneEnCours_ = -1;
    entetes_[0].enCours = entetes_[1].enCours = -1;
    MontreEntier(Hauteur, travail_.Hauteur[0]);
    MontreEntier(HauteurR, travail_.Hauteur[1]);
    Rappel->setChecked(travail_.Rappel[0]);
    RappelR->setChecked(travail_.Rappel[1]);
    Selectionne(ListBox1, 0);
    Haut->setEnabled(false);
    ListBox1Click();
    for (int h = 0; h < 2; ++h) {
        Selectionne(entetes_[h].liste, 0);
        EnTeteClick(h);
    }
}

void TOpt_Tableau::Selectionne(QListWidget* liste, int ligne)
{
    remplissage_ = true;
    liste->setCurrentRow(ligne);
    remplissage_ = false;
}

// ---- columns ----

bool TOpt_Tableau::ValideColonne()
{
    if (colonneEnCours_ < 0)
        return true;
    if (!EntiersAdmis({Largeur}, 0, TOptions_Tableau::kLargeurColonneMax))
        return false;
    const int n = position_[colonneEnCours_ + 1];
    travail_.Afficher[n] = Jaffiche->isChecked();
    largeur_[n] = LitMot(Largeur);
    travail_.Titre1[n] = LitTexte(Tete1);
    travail_.Titre2[n] = LitTexte(Tete2);
    travail_.Dedoubler[n] = Double->isChecked();
    const std::string s = LitTexte(Separation);
    if (!s.empty())
        travail_.Separateur[n] = s[0];
    return true;
}

void TOpt_Tableau::ActiveColonne()
{
    const bool affiche = Jaffiche->isChecked(), dedouble = Double->isChecked();
    Largeur->setEnabled(affiche);
    Tete1->setEnabled(affiche);
    Double->setEnabled(affiche);
    Tete2->setEnabled(affiche && dedouble);
    Separation->setEnabled(affiche && !dedouble);
}

void TOpt_Tableau::ListBox1Click()
{
    const int k = ListBox1->currentRow();
    if (k < 0)
        return;
    if (!ValideColonne()) {
        // The column shown stays shown until its values can be kept.
        Selectionne(ListBox1, colonneEnCours_);
        return;
    }
    Haut->setEnabled(k != 0);
    Bas->setEnabled(k != kNbColonnes - 1);
    const int n = position_[k + 1];
    const bool divisible = n == kLargeur || n == kHauteur;
    for (QWidget* w : std::initializer_list<QWidget*>{Tete2, Double, Separation, LabelSeparation})
        w->setVisible(divisible);
    Jaffiche->setChecked(travail_.Afficher[n]);
    MontreEntier(Largeur, largeur_[n]);
    MontreTexte(Tete1, travail_.Titre1[n]);
    MontreTexte(Tete2, travail_.Titre2[n]);
    Double->setChecked(travail_.Dedoubler[n]);
    Separation->setText(Separateur(travail_.Separateur[n]));
    ActiveColonne();
    colonneEnCours_ = k;
}

void TOpt_Tableau::HautClick()
{
    const int k = ListBox1->currentRow();
    if (k <= 0)
        return;
    QListWidgetItem* ligne = ListBox1->item(k);
    QListWidgetItem* dessus = ListBox1->item(k - 1);
    const QString texte = ligne->text();
    ligne->setText(dessus->text());
    dessus->setText(texte);
    Haut->setEnabled(k - 1 != 0);
    Bas->setEnabled(true);
    std::swap(position_[k + 1], position_[k]);
    if (colonneEnCours_ >= 0)
        --colonneEnCours_;
    Selectionne(ListBox1, k - 1);
}

void TOpt_Tableau::BasClick()
{
    const int k = ListBox1->currentRow();
    if (k < 0 || k >= kNbColonnes - 1)
        return;
    QListWidgetItem* ligne = ListBox1->item(k);
    QListWidgetItem* dessous = ListBox1->item(k + 1);
    const QString texte = ligne->text();
    ligne->setText(dessous->text());
    dessous->setText(texte);
    Haut->setEnabled(true);
    Bas->setEnabled(k + 1 != kNbColonnes - 1);
    std::swap(position_[k + 1], position_[k + 2]);
    if (colonneEnCours_ >= 0)
        ++colonneEnCours_;
    Selectionne(ListBox1, k + 1);
}

// ---- headers ----

bool TOpt_Tableau::ValideEnTete(int h)
{
    const EditeurEnTete& e = entetes_[h];
    if (e.enCours < 1)
        return true;
    if (!EntiersAdmis({e.x, e.y}, 0, kLongueurPapierMax))
        return false;
    const int i = e.enCours;
    travail_.EnTeteAffiche[i][h] = e.affiche->isChecked();
    travail_.EnTeteIntitule[i][h] = LitTexte(e.intitule);
    travail_.X_Pos[i][h] = LitMot(e.x);
    travail_.Y_Pos[i][h] = LitMot(e.y);
    return true;
}

void TOpt_Tableau::ActiveEnTete(int h)
{
    const EditeurEnTete& e = entetes_[h];
    for (QWidget* w : std::initializer_list<QWidget*>{e.intitule, e.x, e.y, e.police})
        w->setEnabled(e.affiche->isChecked());
}

void TOpt_Tableau::EnTeteClick(int h)
{
    EditeurEnTete& e = entetes_[h];
    const int ligne = e.liste->currentRow();
    if (ligne < 0)
        return;
    if (!ValideEnTete(h)) {
        Selectionne(e.liste, e.enCours - 1);
        return;
    }
    const int i = ligne + 1;
    e.affiche->setChecked(travail_.EnTeteAffiche[i][h]);
    MontreTexte(e.intitule, travail_.EnTeteIntitule[i][h]);
    MontreEntier(e.x, travail_.X_Pos[i][h]);
    MontreEntier(e.y, travail_.Y_Pos[i][h]);
    ActiveEnTete(h);
    e.enCours = i;
}

// ---- reference station ----

void TOpt_Tableau::BitBtn1Click()
{
    if (!contexte_.Massif())
        return;
    TFiche* fiche = nullptr;
    int galerie = 0;
    if (!contexte_.ChoisitGalerie(fiche, galerie) || !fiche)
        return;
    if (galerie == -1) {
        Invite().Information(QString::fromUtf8(kTexteVisualisationObligatoire));
        return;
    }
    if (galerie < 0 || static_cast<std::size_t>(galerie) >= fiche->Galeries.size())
        return;
    const TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(galerie)];
    auto prend = [this](const TPointTopo& p) {
        MontreTexte(Point_Topo, p.Nom.Chaine());
        MontreEntier(Indice, p.Indice);
    };
    auto texte = [](const TPointTopo& p) {
        return DepuisCp1252(p.Nom.Chaine()) + QStringLiteral("(") + QString::fromStdString(FormatEntier(p.Indice)) +
               QStringLiteral(")");
    };
    if (g.Depart.Terminus && g.Arrivee.Terminus) {
        Invite().Message(QString::fromUtf8(kTexteGalerieTerminus), Icone::Avertissement, {Bouton::OK});
    } else if (g.Depart.Terminus) {
        prend(g.Arrivee);
    } else if (g.Arrivee.Terminus) {
        prend(g.Depart);
    } else {
        const Bouton b = Invite().Message(TexteDeuxPointsPossibles(texte(g.Arrivee), texte(g.Depart)),
                                          Icone::Confirmation, {Bouton::Oui, Bouton::OK});
        prend(b == Bouton::OK ? g.Depart : g.Arrivee);
    }
}

// ---- return ----

bool TOpt_Tableau::Verifie()
{
    return ValideColonne() && ValideEnTete(0) && EntiersAdmis({Hauteur}, 0, kLongueurPapierMax) && ValideEnTete(1) &&
           EntiersAdmis({HauteurR}, 0, kLongueurPapierMax) && liens_.Verifie() && EntiersAdmis({Indice}, 0, 255);
}

void TOpt_Tableau::Retour(TOptions_Tableau& o)
{
    ValideColonne();
    ValideEnTete(0);
    ValideEnTete(1);
    travail_.Hauteur[0] = LitMot(Hauteur);
    travail_.Rappel[0] = Rappel->isChecked();
    travail_.Hauteur[1] = LitMot(HauteurR);
    travail_.Rappel[1] = RappelR->isChecked();

    for (int p = 1; p <= kNbColonnes; ++p)
        o.Ordre[position_[p]] = static_cast<int16_t>(p);
    for (int n = 1; n <= kNbColonnes; ++n) {
        o.Largeur[n] = largeur_[n];
        o.Separateur[n] = travail_.Separateur[n];
        o.Afficher[n] = travail_.Afficher[n];
        o.Dedoubler[n] = travail_.Dedoubler[n];
        o.Titre1[n] = travail_.Titre1[n];
        o.Titre2[n] = travail_.Titre2[n];
    }
    o.PoliceStandard = travail_.PoliceStandard;
    o.PoliceCarrefour = travail_.PoliceCarrefour;
    liens_.Lit(o);
    o.EnTeteAffiche = travail_.EnTeteAffiche;
    o.EnTeteIntitule = travail_.EnTeteIntitule;
    o.X_Pos = travail_.X_Pos;
    o.Y_Pos = travail_.Y_Pos;
    o.EnTetePolice = travail_.EnTetePolice;
    o.Hauteur = travail_.Hauteur;
    o.Rappel = travail_.Rappel;
    o.PointZero.Indice = static_cast<uint8_t>(LitEntierEdition(Indice));
    o.PointZero.Nom.Affecte(LitTexte(Point_Topo));
}

bool TOptions_Tableau::Modifie(ContexteVues& contexte, QWidget* parent)
{
    TOpt_Tableau d(contexte, parent);
    d.Initialise(*this);
    d.Prepare();
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    d.Retour(*this);
    if (TMassif* m = contexte.Massif())
        m->DimensionsAJour = false;
    return true;
}

}  // namespace karst
