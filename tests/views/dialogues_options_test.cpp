// The option dialogs worked as a user would: keys typed into the number edits, boxes
// ticked, lists clicked, then "Valider" or "Annuler"; what reaches the option records and
// the open views.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>
#include <iterator>

#include "boite_reelle.h"
#include "formulaires/def_bulles.h"
#include "formulaires/def_marge.h"
#include "formulaires/opt_tableau.h"
#include "formulaires/opti_coupe.h"
#include "formulaires/opti_plan.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

// Typing makes Qt register a keyboard device, which the tests' application frees at exit:
// the list of devices is made first so that it is still there then.
const bool kAppareils = (QInputDevice::devices(), true);

// A main window with, on demand, an open plan or perspective window and a sheet search
// that answers with a given sheet and gallery.
class Contexte : public ContexteFactice {
public:
    bool planOuvert = false;
    double anglePlan = 0;
    std::vector<double> plansOrientes;
    bool perspectiveOuverte = false;
    double azimut = 0, elevation = 0;
    std::vector<std::pair<double, double>> perspectivesOrientees;
    TFiche* ficheChoisie = nullptr;
    int galerieChoisie = 0;

    bool AnglePlan(double& a) override
    {
        a = anglePlan;
        return planOuvert;
    }
    void OrientePlan(double a) override { plansOrientes.push_back(a); }
    bool AnglesPerspective(double& a, double& e) override
    {
        a = azimut;
        e = elevation;
        return perspectiveOuverte;
    }
    void OrientePerspective(double a, double e) override { perspectivesOrientees.emplace_back(a, e); }
    bool ChoisitGalerie(TFiche*& f, int& g) override
    {
        if (!ficheChoisie)
            return false;
        f = ficheChoisie;
        g = galerieChoisie;
        return true;
    }
};

// Types into the widget, key by key, as the keyboard does.
void Tape(QWidget* w, const QString& texte)
{
    for (QChar c : texte) {
        QKeyEvent appui(QEvent::KeyPress, c == QChar(u'\b') ? Qt::Key_Backspace : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &appui);
    }
}

void Remplace(QLineEdit* e, const QString& texte)
{
    e->clear();
    Tape(e, texte);
}

// Works the dialog, then presses the button named and gives the dialog's result.
template <class D>
PiloteModal Pilote(std::function<void(D&)> actions, const char* bouton = "Valider")
{
    return [actions, bouton](QDialog& q) {
        auto& d = dynamic_cast<D&>(q);
        actions(d);
        d.template findChild<QPushButton*>(QString::fromLatin1(bouton))->click();
        return d.result();
    };
}

class Dialogues : public ::testing::Test {
protected:
    void SetUp() override { AssureApplication(); }
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    Contexte contexte;
    QTemporaryDir dossier;

    // The bytes of the record's model file: every field the dialogs may touch.
    template <class O>
    std::string Octets(O& o)
    {
        const std::string nom = dossier.filePath(QStringLiteral("modele")).toStdString();
        o.Sauve(nom);
        std::ifstream f(nom, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
};

}  // namespace

TEST_F(Dialogues, LesEditionsDeNombresFiltrentLesTouches)
{
    TOpti_Plan d;
    d.Initialise(TOptions_Plan{});
    // Sign and decimal point pass even in an integer edit, to be refused as typed.
    Remplace(d.Long_Nord, QStringLiteral("1a-2.3\b4"));
    EXPECT_EQ(d.Long_Nord->text(), QStringLiteral("1-2.4"));
    Remplace(d.X_Nord, QStringLiteral("-1x.5e"));
    EXPECT_EQ(d.X_Nord->text(), QStringLiteral("-1.5"));
    // The north text and the two edits left without a filter take any key.
    Remplace(d.Texte_Nord, QStringLiteral("N.M. x"));
    EXPECT_EQ(d.Texte_Nord->text(), QStringLiteral("N.M. x"));
    Remplace(d.Epaisseur_Habit, QStringLiteral("3b"));
    EXPECT_EQ(d.Epaisseur_Habit->text(), QStringLiteral("3b"));
    // Each control bears the name of its field.
    EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("Long_Nord")), d.Long_Nord);
    EXPECT_EQ(d.findChild<QCheckBox*>(QStringLiteral("Afficher_Habillage")), d.Afficher_Habillage);
    EXPECT_EQ(d.findChild<GroupeRadio*>(QStringLiteral("Representation_Largeur")), d.Representation_Largeur);
}

TEST_F(Dialogues, ValiderSansRienToucherRendChaqueOptionIntacte)
{
    TOptions_Plan plan;
    plan.Affiche_Quadri = true;
    plan.Representation = false;
    plan.Origine = true;
    plan.AuDebut = true;
    plan.Texte_Nord = "Nord géo";
    // More digits than the dialog shows: confirmed as shown, they all stay.
    plan.X_Nord = 880.2361234567L;
    plan.Y_Echelle = -3.5L;
    plan.X_Origine = 1234.5L;
    plan.Angle = 33.5L;
    plan.Subdivision = 7;
    plan.Texte_Station = 2;
    plan.Representation_Largeur = 2;
    plan.Epaisseur_Largeur = 3;
    plan.Police_Echelle = TPolice("Arial", -16);
    const std::string avantPlan = Octets(plan);
    PiloteModalInstalle p1(Pilote<TOpti_Plan>([](TOpti_Plan&) {}));
    EXPECT_TRUE(plan.Modifie(contexte));
    EXPECT_EQ(Octets(plan), avantPlan);

    TOptions_Relief relief;
    relief.X_Inverse = relief.Cylindre = relief.Filaire = true;
    relief.Z_Nord = 1234.56789L;
    relief.CouleurFond = 0x123456;
    relief.Largeur_3D = 1.5f;
    relief.N_Face = 12;
    relief.Angle_Vertical = -45;
    relief.Texte_Station = 1;
    const std::string avantRelief = Octets(relief);
    PiloteModalInstalle p2(Pilote<TOpti_Relief>([](TOpti_Relief&) {}));
    EXPECT_TRUE(relief.Modifie(contexte));
    EXPECT_EQ(Octets(relief), avantRelief);

    TOptions_Coupe coupe;
    coupe.Affiche_Horizontale = coupe.Afficher_Habillage = true;
    coupe.Representation_Hauteur = 1;
    coupe.X_Horizontale = 12.5L;
    coupe.Z_Origine = -80;
    coupe.NbEchelles = 2;
    coupe.Echelles[1].Libelle = "Puits";
    coupe.Echelles[1].Nom = "P1";
    coupe.Echelles[1].Indice = 3;
    coupe.Echelles[1].ZMax = 40;
    coupe.Echelles[1].Reserve2 = {1, 2, 3, 4, 5, 6};
    coupe.Echelles[2].Libelle = "Salle";
    coupe.Echelles[2].Gauche = true;
    coupe.Echelles[2].Decalage = -12.3456789L;
    const std::string avantCoupe = Octets(coupe);
    PiloteModalInstalle p3(Pilote<TOpti_Coupe>([](TOpti_Coupe& d) { d.ListBox1->setCurrentRow(1); }));
    EXPECT_TRUE(coupe.Modifie());
    EXPECT_EQ(Octets(coupe), avantCoupe);

    TOptions_Tableau tableau;
    tableau.Ordre[1] = 2;
    tableau.Ordre[2] = 1;
    tableau.Largeur[5] = 33;
    tableau.Dedoubler[4] = true;
    tableau.Titre2[4] = "droite";
    tableau.Separateur[5] = '|';
    tableau.Afficher[9] = false;
    tableau.EnTeteAffiche[3][1] = true;
    tableau.EnTeteIntitule[3][1] = "Cavité :";
    tableau.X_Pos[3][1] = 15;
    tableau.Y_Pos[11][0] = 4;
    tableau.Hauteur[1] = 30;
    tableau.Rappel[0] = false;
    tableau.PointZero.Nom.Affecte("A");
    tableau.PointZero.Indice = 7;
    tableau.PointZero.Z = 10;
    tableau.EnAltitude = true;
    const std::string avantTableau = Octets(tableau);
    PiloteModalInstalle p4(Pilote<TOpt_Tableau>([](TOpt_Tableau&) {}));
    EXPECT_TRUE(tableau.Modifie(contexte));
    EXPECT_EQ(Octets(tableau), avantTableau);

    TMarge marge;
    marge.Haut = 25;
    marge.EpaisseurAngle = 4;
    marge.PositionEtiquette = {0, 2, 0, 3};
    marge.AfficheEtiquette = {false, false, true, true};
    const std::string avantMarge = Octets(marge);
    PiloteModalInstalle p5(Pilote<TDef_Marge>([](TDef_Marge&) {}, "Valider"));
    marge.Modifie();
    EXPECT_EQ(Octets(marge), avantMarge);
}

TEST_F(Dialogues, PlanValeursRelues)
{
    TOptions_Plan o;
    invite.polices.push_back(TPolice("Courier New", -20));
    PiloteModalInstalle p(Pilote<TOpti_Plan>([](TOpti_Plan& d) {
        d.Long_Nord->clear();
        d.Representation->FixeItemIndex(0);
        d.Texte_Nord->setText(QStringLiteral("Nord géographique du massif !"));  // 29 characters
        Remplace(d.Subdivision, QStringLiteral("70000"));
        d.Valider->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        Remplace(d.Subdivision, QStringLiteral("7"));
        d.Police_Station->click();
    }));
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(o.Long_Nord, 0);
    EXPECT_FALSE(o.Representation);
    EXPECT_EQ(o.Texte_Nord.str(), "Nord g\xE9ographique du mass");
    EXPECT_EQ(o.Subdivision, 7);
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Le champ « Echelle : Subdivisions » n'accepte pas « 70000 » : "
                                                       "il faut un nombre entier de 0 à 1000."));
    EXPECT_EQ(o.Police_Station.Nom, "Courier New");
    EXPECT_EQ(o.Police_Station.Hauteur, -20);
    EXPECT_EQ(o.Police_Nord, TPolice());
    ASSERT_EQ(invite.policesProposees.size(), 1u);
    EXPECT_EQ(invite.policesProposees[0], Police());

    // A font chosen, then "Annuler": nothing changes.
    const std::string avant = Octets(o);
    invite.polices.push_back(TPolice("Arial", -30));
    PiloteModalInstalle q(Pilote<TOpti_Plan>(
        [](TOpti_Plan& d) {
            d.Police_Nord->click();
            d.Affiche_Nord->setChecked(false);
        },
        "Annuler"));
    EXPECT_FALSE(o.Modifie(contexte));
    EXPECT_EQ(Octets(o), avant);
}

TEST_F(Dialogues, PlanActivationDesControles)
{
    TOptions_Plan o;
    o.Representation_Largeur = 0;
    o.Origine = false;
    TOpti_Plan d;
    d.Initialise(o);
    EXPECT_FALSE(d.AuDebut->isEnabled());
    EXPECT_FALSE(d.Epaisseur_Largeur->isEnabled());
    EXPECT_FALSE(d.X_Origine->isEnabled());
    EXPECT_TRUE(d.Epaisseur_Habit->isEnabled());
    EXPECT_TRUE(d.Police_Nord->isEnabled());
    d.Representation_Largeur->FixeItemIndex(2);
    EXPECT_TRUE(d.AlaFin->isEnabled());
    d.Affiche_Nord->setChecked(false);
    EXPECT_FALSE(d.Police_Nord->isEnabled());
    EXPECT_FALSE(d.Texte_Nord->isEnabled());
    EXPECT_TRUE(d.Police_Echelle->isEnabled());
    d.Origine->setChecked(true);
    EXPECT_TRUE(d.Y_Origine->isEnabled());
}

TEST_F(Dialogues, PlanOuvertSurLAngleDeLaFenetreEtTourneALaValidation)
{
    TOptions_Plan o;
    o.Angle = 5;
    QString montre;
    PiloteModalInstalle p(Pilote<TOpti_Plan>([&](TOpti_Plan& d) {
        montre = d.Angle->text();
        Remplace(d.Angle, QStringLiteral("-12.5"));
    }));
    // No plan window: the stored angle is shown and no window is turned.
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(montre, QStringLiteral("5"));
    EXPECT_DOUBLE_EQ(o.Angle.d(), -12.5);
    EXPECT_TRUE(contexte.plansOrientes.empty());

    contexte.planOuvert = true;
    contexte.anglePlan = 271.25;
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(montre, QStringLiteral("271.3"));  // four significant digits
    ASSERT_EQ(contexte.plansOrientes.size(), 1u);
    EXPECT_DOUBLE_EQ(contexte.plansOrientes[0], -12.5);

    // Cancelled: the window's angle was taken into the option, the window is not turned.
    contexte.anglePlan = 90;
    PiloteModalInstalle q(Pilote<TOpti_Plan>([](TOpti_Plan&) {}, "Annuler"));
    EXPECT_FALSE(o.Modifie(contexte));
    EXPECT_DOUBLE_EQ(o.Angle.d(), 90);
    EXPECT_EQ(contexte.plansOrientes.size(), 1u);
}

TEST_F(Dialogues, UnReelTropGrandEstRefuseSansFermer)
{
    TOptions_Plan o;
    int essais = 0;
    const QString neufs(60, QChar(u'9'));
    PiloteModalInstalle p([&](QDialog& q) {
        auto& d = dynamic_cast<TOpti_Plan&>(q);
        d.Origine->setChecked(true);
        d.X_Origine->setText(neufs);
        d.Valider->click();
        essais = d.result();
        EXPECT_EQ(d.Onglets->tabText(d.Onglets->currentIndex()), QStringLiteral("Impression"));
        Remplace(d.X_Origine, QStringLiteral("250"));
        // A comma in an integer edit: Enter keeps the dialog open on the edit, text selected.
        d.show();
        QApplication::setActiveWindow(&d);
        d.Onglets->setCurrentIndex(0);
        d.Epaisseur_Nord->setFocus();
        d.Epaisseur_Nord->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "2,5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(QApplication::focusWidget(), d.Epaisseur_Nord);
        EXPECT_EQ(d.Epaisseur_Nord->selectedText(), QStringLiteral("2,5"));
        QTest::keyClicks(QApplication::focusWidget(), "3");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        d.hide();
        return d.result();
    });
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(essais, QDialog::Rejected);
    ASSERT_EQ(invite.messages.size(), 2u);
    EXPECT_EQ(invite.messages[0].texte,
              "Le champ « Impression : X /m » n'accepte pas « " + neufs + " » : ce nombre est trop grand.");
    EXPECT_EQ(invite.messages[1].texte, QStringLiteral("Le champ « Nord : Epaisseur (mm/10) » n'accepte pas « 2,5 » : "
                                                       "il faut un nombre entier de 0 à 100."));
    EXPECT_DOUBLE_EQ(o.X_Origine.d(), 250);
    EXPECT_EQ(o.Epaisseur_Nord, 3);
}

TEST_F(Dialogues, PerspectiveCouleursAnglesEtLargeur)
{
    TOptions_Relief o;
    contexte.perspectiveOuverte = true;
    contexte.azimut = 30;
    contexte.elevation = -20;
    invite.couleurs.push_back(0x0000FF);
    invite.couleurs.push_back(std::nullopt);  // the second colour dialog is cancelled
    QString largeur, azimut;
    PiloteModalInstalle p(Pilote<TOpti_Relief>([&](TOpti_Relief& d) {
        largeur = d.Largeur_3D->text();
        azimut = d.Angle_Horizontal->text();
        d.Button1->click();
        d.Button3->click();
        Remplace(d.Angle_Vertical, QStringLiteral("10"));
        Remplace(d.N_Face, QStringLiteral("12,5"));
        d.Valider->click();
        EXPECT_TRUE(d.isVisible() || d.result() == QDialog::Rejected);
        // Typed over the refused text, a count of faces no drawing needs is refused too.
        d.show();
        QApplication::setActiveWindow(&d);
        d.N_Face->setFocus();
        d.N_Face->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "2000000000");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        d.hide();
        Remplace(d.N_Face, QStringLiteral("12"));
        EXPECT_FALSE(d.Couleur_Cadre->isEnabled() && !d.Affiche_Quadri->isChecked());
        d.Affiche_Echelle->setChecked(true);
        EXPECT_TRUE(d.Z_Inverse->isEnabled());
    }));
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(largeur, QStringLiteral("0.5"));
    EXPECT_EQ(azimut, QStringLiteral("30"));
    EXPECT_EQ(o.CouleurGalerie, 0x0000FF);
    EXPECT_EQ(o.CouleurCylindre, 0x808080);
    EXPECT_EQ(o.N_Face, 12);
    ASSERT_EQ(invite.messages.size(), 2u);
    EXPECT_TRUE(invite.messages[0].texte.contains(QStringLiteral("« 3 D : Cylindres : Nombre de faces »")));
    EXPECT_EQ(invite.messages[1].texte, QStringLiteral("Le champ « 3 D : Cylindres : Nombre de faces » n'accepte pas "
                                                       "« 2000000000 » : il faut un nombre entier de 3 à 360."));
    ASSERT_EQ(contexte.perspectivesOrientees.size(), 1u);
    EXPECT_EQ(contexte.perspectivesOrientees[0], std::make_pair(30.0, 10.0));

    // A colour chosen, then "Annuler" on the dialog.
    invite.couleurs.push_back(0x00FF00);
    PiloteModalInstalle q(Pilote<TOpti_Relief>([](TOpti_Relief& d) { d.Button2->click(); }, "Annuler"));
    EXPECT_FALSE(o.Modifie(contexte));
    EXPECT_EQ(o.CouleurFond, 0);
}

TEST_F(Dialogues, ImageDUnBoutonDeCouleur)
{
    const QImage i = ImageCouleur(0x0000FF);  // red
    ASSERT_EQ(i.size(), QSize(16, 16));
    EXPECT_EQ(i.pixel(0, 0) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(i.pixel(14, 7) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(i.pixel(15, 15) & 0xFFFFFF, 0xFFFFFFu);  // the right and bottom edges are excluded
    EXPECT_EQ(i.pixel(1, 1) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(i.pixel(13, 13) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(i.pixel(2, 2) & 0xFFFFFF, 0xFF0000u);  // Qt's 0xRRGGBB
    EXPECT_EQ(i.pixel(12, 12) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(Dialogues, CoupeAjoutDUneEchelle)
{
    TOptions_Coupe o;
    o.NbEchelles = 1;
    o.Echelles[1].Libelle = "Puits";
    invite.saisies.push_back(QStringLiteral("Grande salle Nord1"));  // 18 characters
    QString ligne;
    PiloteModalInstalle p(Pilote<TOpti_Coupe>([&](TOpti_Coupe& d) {
        EXPECT_FALSE(d.X_Verticale->isEnabled());
        EXPECT_FALSE(d.Button2->isEnabled());
        d.ListBox1->setCurrentRow(0);
        EXPECT_TRUE(d.Nom_Verticale->isEnabled());
        Remplace(d.ZMax_Verticale, QStringLiteral("55"));
        Remplace(d.Nom_Verticale, QStringLiteral("P12"));
        d.Button1->click();
        ligne = d.ListBox1->item(1)->text();
        EXPECT_EQ(d.EnCours(), 1);
        EXPECT_EQ(d.ZMax_Verticale->text(), QStringLiteral("0"));
        Remplace(d.X_Verticale, QStringLiteral("-7.5"));
        Remplace(d.Indice_Verticale, QStringLiteral("4"));
        d.Gauche_Verticale->setChecked(true);
    }));
    EXPECT_TRUE(o.Modifie());
    EXPECT_EQ(ligne, QStringLiteral("Grande salle Nord1"));
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("Nom de la nouvelle échelle"));
    ASSERT_EQ(o.NbEchelles, 2);
    // The values typed for the first scale were kept when the second was added.
    EXPECT_EQ(o.Echelles[1].ZMax, 55);
    EXPECT_EQ(o.Echelles[1].Nom.str(), "P12");
    // Those typed for the selected one are kept without another click.
    EXPECT_EQ(o.Echelles[2].Libelle.str(), "Grande sal");
    EXPECT_DOUBLE_EQ(o.Echelles[2].Xdev.d(), -7.5);
    EXPECT_EQ(o.Echelles[2].Indice, 4);
    EXPECT_TRUE(o.Echelles[2].Gauche);

    TOpti_Coupe d;
    d.Initialise(o);
    EXPECT_EQ(d.ListBox1->item(1)->text(), QStringLiteral("Grande sal"));
}

TEST_F(Dialogues, CoupeSuppressionEtAnnulation)
{
    TOptions_Coupe o;
    o.NbEchelles = 1;
    o.Echelles[1].Libelle = "Seule";
    o.Echelles[1].ZMin = -5;
    o.Echelles[1].Nom = "P3";
    TOptions_Coupe copie = o;
    const TEchelleVerticale avant = copie.Echelles[1];
    invite.reponses.push_back(Bouton::OK);
    PiloteModalInstalle p(Pilote<TOpti_Coupe>([](TOpti_Coupe& d) {
        d.ListBox1->setCurrentRow(0);
        d.Button2->click();
        EXPECT_EQ(d.ListBox1->count(), 0);
        EXPECT_EQ(d.NombreEchelles(), 0);
        EXPECT_EQ(d.EnCours(), -1);
        EXPECT_FALSE(d.ZMin_Verticale->isEnabled());
        EXPECT_EQ(d.ZMin_Verticale->text() + d.Nom_Verticale->text(), QString());
        EXPECT_FALSE(d.Button2->isEnabled());
    }));
    EXPECT_TRUE(o.Modifie());
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Supprimer l'échelle sélectionnée ?"));
    EXPECT_EQ(invite.messages[0].defaut, Bouton::Annuler);
    EXPECT_EQ(o.NbEchelles, 0);

    // Adding and deleting, then "Annuler": the scales are as before.
    invite.saisies.push_back(QStringLiteral("Nouvelle"));
    invite.reponses.push_back(Bouton::OK);
    PiloteModalInstalle q(Pilote<TOpti_Coupe>(
        [](TOpti_Coupe& d) {
            d.Button1->click();
            d.ListBox1->setCurrentRow(0);
            d.Button2->click();
        },
        "Annuler"));
    EXPECT_FALSE(copie.Modifie());
    EXPECT_EQ(copie.NbEchelles, 1);
    EXPECT_TRUE(copie.Echelles[1] == avant);
}

TEST_F(Dialogues, CoupePasPlusDeCinquanteEchelles)
{
    TOptions_Coupe o;
    o.NbEchelles = kMaxEchelles;
    TOpti_Coupe d;
    d.Initialise(o);
    invite.saisies.push_back(QStringLiteral("De trop"));
    d.Button1->click();
    EXPECT_EQ(d.ListBox1->count(), kMaxEchelles);
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Pas plus de 50 échelles verticales"));
    // An empty name or a cancelled box adds nothing.
    TOpti_Coupe e;
    e.Initialise(TOptions_Coupe{});
    invite.saisies = {QString(), std::nullopt};
    e.Button1->click();
    e.Button1->click();
    EXPECT_EQ(e.ListBox1->count(), 0);
}

TEST_F(Dialogues, TableauOrdreDesColonnes)
{
    TOptions_Tableau o;
    contexte.massif.DimensionsAJour = true;
    PiloteModalInstalle p(Pilote<TOpt_Tableau>([](TOpt_Tableau& d) {
        EXPECT_FALSE(d.Haut->isEnabled());
        EXPECT_TRUE(d.Bas->isEnabled());
        d.ListBox1->setCurrentRow(9);  // "Commentaires"
        for (int i = 0; i < 9; ++i)
            d.Haut->click();
        EXPECT_EQ(d.ListBox1->currentRow(), 0);
        EXPECT_EQ(d.ListBox1->item(0)->text(), QStringLiteral("Commentaires"));
        EXPECT_FALSE(d.Haut->isEnabled());
        d.ListBox1->setCurrentRow(12);
        EXPECT_FALSE(d.Bas->isEnabled());
        d.Bas->setEnabled(true);
        d.ListBox1->setCurrentRow(11);
        d.Bas->click();
        EXPECT_FALSE(d.Bas->isEnabled());
        EXPECT_EQ(d.ListBox1->item(12)->text(), QStringLiteral("Long. horizontale"));
    }));
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(o.Ordre[10], 1);
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(o.Ordre[n], n + 1) << n;
    EXPECT_EQ(o.Ordre[11], 11);
    EXPECT_EQ(o.Ordre[12], 13);
    EXPECT_EQ(o.Ordre[13], 12);
    EXPECT_FALSE(contexte.massif.DimensionsAJour);
}

TEST_F(Dialogues, TableauEditeurDeColonne)
{
    TOptions_Tableau o;
    PiloteModalInstalle p(Pilote<TOpt_Tableau>([](TOpt_Tableau& d) {
        EXPECT_TRUE(d.Tete2->isHidden());
        d.ListBox1->setCurrentRow(3);  // "Largeur"
        EXPECT_FALSE(d.Tete2->isHidden());
        EXPECT_FALSE(d.LabelSeparation->isHidden());
        EXPECT_TRUE(d.Separation->isEnabled());
        EXPECT_FALSE(d.Tete2->isEnabled());
        d.Double->setChecked(true);
        EXPECT_FALSE(d.Separation->isEnabled());
        EXPECT_TRUE(d.Tete2->isEnabled());
        Remplace(d.Tete2, QStringLiteral("droite"));
        Remplace(d.Largeur, QStringLiteral("300"));  // a byte: refused, the column stays shown
        d.ListBox1->setCurrentRow(4);
        EXPECT_EQ(d.ListBox1->currentRow(), 3);
        // Clicked too, it stays highlighted: "Monter" moves it.
        d.show();
        QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {},
                          d.ListBox1->visualItemRect(d.ListBox1->item(4)).center());
        EXPECT_EQ(d.ListBox1->selectedItems(), QList<QListWidgetItem*>{d.ListBox1->item(3)});
        QTest::mouseClick(d.Haut, Qt::LeftButton);
        EXPECT_EQ(d.ListBox1->item(2)->text(), QStringLiteral("Largeur"));
        Remplace(d.Largeur, QStringLiteral("44"));
        d.ListBox1->setCurrentRow(4);  // "Hauteur"
        d.Separation->setText(QStringLiteral(";x"));
        d.Jaffiche->setChecked(false);
        EXPECT_FALSE(d.Largeur->isEnabled());
        EXPECT_FALSE(d.Tete1->isEnabled());
        EXPECT_FALSE(d.Double->isEnabled());
        EXPECT_EQ(d.Largeur->text(), QStringLiteral("20"));
        d.ListBox1->setCurrentRow(5);  // "X"
        EXPECT_TRUE(d.Double->isHidden());
        d.Separation->clear();  // an empty separator keeps the one there
    }));
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_EQ(o.Largeur[4], 44);
    EXPECT_TRUE(o.Dedoubler[4]);
    EXPECT_EQ(o.Titre2[4].str(), "droite");
    EXPECT_EQ(o.Separateur[5], ';');
    EXPECT_FALSE(o.Afficher[5]);
    EXPECT_EQ(o.Largeur[5], 20);
    EXPECT_EQ(o.Separateur[6], '/');
}

TEST_F(Dialogues, TableauEnTetesEtLigne)
{
    TOptions_Tableau o;
    invite.polices.push_back(TPolice("Arial", -9));
    invite.polices.push_back(TPolice("Courier New", -13));
    PiloteModalInstalle p(Pilote<TOpt_Tableau>([](TOpt_Tableau& d) {
        EXPECT_FALSE(d.Intitule->isEnabled());
        d.ListBox3->setCurrentRow(8);  // "Topographes", restricted header
        d.Jaffiche3->setChecked(true);
        EXPECT_TRUE(d.IntituleR->isEnabled());
        Remplace(d.IntituleR, QStringLiteral("Topographes : Dupont, Durand et Martin"));
        Remplace(d.X_PosR, QStringLiteral("12"));
        d.La_PoliceR->click();
        d.ListBox3->setCurrentRow(0);  // commits "Topographes"
        EXPECT_EQ(d.IntituleR->text(), QString());
        Remplace(d.HauteurR, QStringLiteral("35"));
        d.RappelR->setChecked(false);
        Remplace(d.Ptt_Trait, QStringLiteral("3"));
        d.Button2->click();
        Remplace(d.Indice, QStringLiteral("258"));
        Remplace(d.Point_Topo, QStringLiteral("B7"));
        d.Valider->click();
        EXPECT_EQ(d.Onglets->currentIndex(), 4);
        Remplace(d.Indice, QStringLiteral("2"));
    }));
    EXPECT_TRUE(o.Modifie(contexte));
    EXPECT_TRUE(o.EnTeteAffiche[9][1]);
    EXPECT_FALSE(o.EnTeteAffiche[9][0]);
    EXPECT_EQ(o.EnTeteIntitule[9][1].str(), "Topographes : Dupont, Dur");
    EXPECT_EQ(o.X_Pos[9][1], 12);
    EXPECT_EQ(o.EnTetePolice[9][1].Nom, "Arial");
    EXPECT_EQ(o.EnTetePolice[9][0].Nom, "Times New Roman");
    EXPECT_EQ(o.Hauteur[1], 35);
    EXPECT_FALSE(o.Rappel[1]);
    EXPECT_TRUE(o.Rappel[0]);
    EXPECT_EQ(o.Ptt_Trait, 3);
    EXPECT_EQ(o.PoliceCarrefour.Nom, "Courier New");
    EXPECT_EQ(o.PointZero.Indice, 2);
    EXPECT_EQ(o.PointZero.Nom.Chaine(), "B7");
}

TEST_F(Dialogues, TableauRechercheDuPointZero)
{
    TFiche& f = AjouteFiche(contexte.massif);
    TGalerie& g = AjouteGalerie(f, "A", "B", {0, 0, 0}, {{1, 0, 0}});
    g.Depart.Indice = 3;
    g.Arrivee.Indice = 4;
    contexte.ficheChoisie = &f;
    TOptions_Tableau o;
    TOpt_Tableau d(contexte);
    d.Initialise(o);
    d.Prepare();

    // Two real ends: "OK" takes the start station, "Oui" the end station.
    invite.reponses = {Bouton::OK, Bouton::Oui};
    d.BitBtn1->click();
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Deux points possibles : B(4) (Oui) et A(3) (Ok)"));
    EXPECT_EQ(invite.messages[0].boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::OK}));
    EXPECT_EQ(d.Point_Topo->text(), QStringLiteral("A"));
    EXPECT_EQ(d.Indice->text(), QStringLiteral("3"));
    d.BitBtn1->click();
    EXPECT_EQ(d.Point_Topo->text(), QStringLiteral("B"));

    // Escape on the box on the screen: the end station too.
    d.Point_Topo->clear();
    Interlocuteur::Installe(nullptr);
    const auto vue = ecran::RepondBoite(Qt::Key_Escape);
    d.BitBtn1->click();
    Interlocuteur::Installe(&invite);
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(vue->texte, QStringLiteral("Deux points possibles : B(4) (Oui) et A(3) (Ok)"));
    EXPECT_EQ(d.Point_Topo->text(), QStringLiteral("B"));
    EXPECT_EQ(d.Indice->text(), QStringLiteral("4"));

    // One real end: taken without a question.
    g.Arrivee.Terminus = true;
    invite.messages.clear();
    d.Point_Topo->clear();
    d.BitBtn1->click();
    EXPECT_TRUE(invite.messages.empty());
    EXPECT_EQ(d.Point_Topo->text(), QStringLiteral("A"));

    g.Depart.Terminus = true;
    d.BitBtn1->click();
    EXPECT_EQ(invite.Textes().last(), QStringLiteral("La galerie sélectionnée n'a que des terminus"));

    contexte.galerieChoisie = -1;
    d.BitBtn1->click();
    EXPECT_EQ(invite.Textes().last(),
              QStringLiteral("Il faut obligatoirement passer par la visualisation avec cette méthode"));

    // Without an open massif the search does nothing.
    contexte.sansMassif = true;
    const auto n = invite.messages.size();
    d.BitBtn1->click();
    EXPECT_EQ(invite.messages.size(), n);
}

TEST_F(Dialogues, TableauOrdreEndommage)
{
    TOptions_Tableau o;
    o.Ordre[3] = 1;    // twice at the first place
    o.Ordre[7] = 400;  // out of range
    TOpt_Tableau d(contexte);
    d.Initialise(o);
    std::array<bool, kNbColonnes + 1> vu{};
    for (int p = 1; p <= kNbColonnes; ++p) {
        const int n = d.PositionColonne()[p];
        ASSERT_TRUE(n >= 1 && n <= kNbColonnes);
        EXPECT_FALSE(vu[n]);
        vu[n] = true;
    }
    EXPECT_EQ(d.PositionColonne()[1], 1);
    EXPECT_EQ(d.PositionColonne()[3], 3);
}

TEST_F(Dialogues, Marges)
{
    TMarge m;
    PiloteModalInstalle p(Pilote<TDef_Marge>([](TDef_Marge& d) {
        EXPECT_EQ(d.Valider->text(), QStringLiteral("Enregistrer"));
        // Each group places the label it is named after.
        EXPECT_EQ(d.C_Date->currentText(), QStringLiteral("Haut/Gauche"));
        EXPECT_EQ(d.C_Page->currentText(), QStringLiteral("Bas/Gauche"));
        EXPECT_EQ(d.C_Fichier->currentText(), QStringLiteral("Bas/Droite"));
        d.C_Page->setCurrentIndex(1);
        d.P_Afficher->setChecked(false);
        EXPECT_FALSE(d.C_Page->isEnabled());
        EXPECT_TRUE(d.C_Date->isEnabled());
        d.EGauche->clear();
        Remplace(d.EEpaisseur, QStringLiteral("x7"));
    }));
    m.Modifie();
    EXPECT_EQ(m.PositionEtiquette[2], 2);
    EXPECT_FALSE(m.AfficheEtiquette[2]);
    EXPECT_EQ(m.PositionEtiquette[1], 1);
    EXPECT_EQ(m.PositionEtiquette[3], 4);
    EXPECT_EQ(m.Gauche, 0);
    EXPECT_EQ(m.EpaisseurAngle, 7);

    // A place outside 1..4 selects nothing and is stored back as 0; "Annuler" keeps all.
    m.PositionEtiquette[3] = 9;
    PiloteModalInstalle q(Pilote<TDef_Marge>([](TDef_Marge& d) { EXPECT_EQ(d.C_Fichier->currentIndex(), -1); }));
    m.Modifie();
    EXPECT_EQ(m.PositionEtiquette[3], 0);
    PiloteModalInstalle r(Pilote<TDef_Marge>([](TDef_Marge& d) { d.EBas->clear(); }, "Annuler"));
    m.Modifie();
    EXPECT_EQ(m.Bas, 10);
}

TEST_F(Dialogues, InfoBulles)
{
    bool aucune = false;
    ChoixBulle choix;
    choix.Commentaires = true;
    choix.Hauteur = true;
    PiloteModalInstalle p(Pilote<TDef_Bulles>(
        [](TDef_Bulles& d) {
            EXPECT_TRUE(d.CheckBox1->isEnabled());
            d.Global->click();
            for (QCheckBox* c : {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5, d.CheckBox6})
                EXPECT_FALSE(c->isEnabled());
            EXPECT_TRUE(d.CheckBox2->isChecked());
            d.CheckBox6->setChecked(true);
        },
        "Button1"));
    EXPECT_TRUE(ModifieBulles(aucune, choix));
    EXPECT_TRUE(aucune);
    EXPECT_TRUE(choix.Commentaires);
    EXPECT_TRUE(choix.Hauteur);
    EXPECT_TRUE(choix.Deformation);
    EXPECT_FALSE(choix.Coordonnees);

    PiloteModalInstalle q(Pilote<TDef_Bulles>(
        [](TDef_Bulles& d) {
            EXPECT_FALSE(d.CheckBox3->isEnabled());
            d.Global->click();
            EXPECT_TRUE(d.CheckBox3->isEnabled());
            d.CheckBox2->setChecked(false);
        },
        "Button2"));
    EXPECT_FALSE(ModifieBulles(aucune, choix));
    EXPECT_TRUE(aucune);
    EXPECT_TRUE(choix.Commentaires);
}

TEST_F(Dialogues, CoupeEchelleAuReelTropGrandGardeeAffichee)
{
    TOptions_Coupe o;
    o.NbEchelles = 2;
    o.Echelles[1].Libelle = "Un";
    o.Echelles[2].Libelle = "Deux";
    TOpti_Coupe d;
    d.Initialise(o);
    d.ListBox1->setCurrentRow(0);
    d.X_Verticale->setText(QString(60, QChar(u'9')));
    d.ListBox1->setCurrentRow(1);
    EXPECT_EQ(d.ListBox1->currentRow(), 0);
    EXPECT_EQ(d.EnCours(), 0);
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_TRUE(invite.messages[0].texte.endsWith(QStringLiteral("ce nombre est trop grand.")));
    Remplace(d.X_Verticale, QStringLiteral("-2,5"));  // a real typed in the integer Zmin
    Remplace(d.ZMin_Verticale, QStringLiteral("-2,5"));
    d.ListBox1->setCurrentRow(1);
    EXPECT_EQ(d.EnCours(), 0);
    Remplace(d.ZMin_Verticale, QStringLiteral("-3"));
    d.ListBox1->setCurrentRow(1);
    EXPECT_EQ(d.EnCours(), 1);
    TOptions_Coupe r;
    d.Retour(r);
    EXPECT_DOUBLE_EQ(r.Echelles[1].Xdev.d(), -2.5);
    EXPECT_EQ(r.Echelles[1].ZMin, -3);

    // With the mouse: after the refusal "Un" stays shown and highlighted, and is deleted.
    d.show();
    QTest::mouseClick(d.Onglets->tabBar(), Qt::LeftButton, {}, d.Onglets->tabBar()->tabRect(1).center());
    const auto clique = [&](int ligne) {
        QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {},
                          d.ListBox1->visualItemRect(d.ListBox1->item(ligne)).center());
    };
    clique(0);
    Remplace(d.ZMin_Verticale, QStringLiteral("1,5"));
    clique(1);
    EXPECT_EQ(invite.messages.size(), 3u);
    EXPECT_EQ(d.ListBox1->selectedItems(), QList<QListWidgetItem*>{d.ListBox1->item(0)});
    invite.reponses.push_back(Bouton::OK);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    ASSERT_EQ(d.ListBox1->count(), 1);
    EXPECT_EQ(d.ListBox1->item(0)->text(), QStringLiteral("Deux"));
}
