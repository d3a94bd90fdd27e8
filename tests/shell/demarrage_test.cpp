// What a new user meets first: a start on a settings folder that cannot be made, the
// printer set across, the save prompt answered from the keyboard, the toolbars, the
// option dialogs, backups and files of a newer version.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "boite_reelle.h"
#include "fenetre_essai.h"
#include "formulaires/controles.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/animation.h"
#include "shell/form1.h"
#include "survey/aide_fichiers.h"

using namespace karst;
using essai::Contenu;
using essai::Ecrit;
namespace fs = std::filesystem;

namespace {

class Demarrage : public FenetreEssai {};

// Files of a folder and their contents, to see that nothing was written there.
std::map<std::string, std::string> Instantane(const std::string& dossier)
{
    std::map<std::string, std::string> r;
    for (const auto& e : fs::recursive_directory_iterator(dossier))
        r[e.path().string()] = e.is_regular_file() ? Contenu(e.path().string()) : std::string("<dossier>");
    return r;
}

}  // namespace

TEST_F(Demarrage, DossierDesParametresImpossible)
{
    // XDG_CONFIG_HOME names a plain file: the settings folder cannot be made under it.
    const std::string fichier = Chemin("config");
    Ecrit(fichier, "pas un dossier");
    const char* avant = std::getenv("XDG_CONFIG_HOME");
    const std::string garde = avant ? avant : "";
    setenv("XDG_CONFIG_HOME", fichier.c_str(), 1);
    const auto etat = Instantane(dirM.path().toStdString());
    {
        auto f = std::make_unique<TForm1>();
        f->Timer2->stop();
        f->show();
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        EXPECT_TRUE(f->isVisible());
        EXPECT_FALSE(f->ParametresConserves);
        ASSERT_EQ(invite.messages.size(), 1u);
        EXPECT_EQ(invite.messages[0].icone, Icone::Avertissement);
        EXPECT_TRUE(invite.messages[0].texte.contains(QString::fromStdString(fichier + "/Karstomat/")))
            << invite.messages[0].texte.toStdString();
        EXPECT_TRUE(invite.messages[0].texte.contains(QStringLiteral("ne seront pas conservés")));
        // The defaults hold.
        EXPECT_TRUE(f->Gnral1->isChecked());
        EXPECT_TRUE(f->Automatique1->isChecked());
        // Quitting (Oui to "Quitter Karstomat ?") writes nothing and says nothing more.
        invite.reponses = {Bouton::Oui};
        EXPECT_TRUE(f->close());
        QApplication::processEvents();
        ASSERT_EQ(invite.messages.size(), 2u);
        EXPECT_EQ(invite.messages[1].texte, QStringLiteral("Quitter Karstomat ?"));
    }
    EXPECT_EQ(Instantane(dirM.path().toStdString()), etat);
    if (avant)
        setenv("XDG_CONFIG_HOME", garde.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST_F(Demarrage, ImprimanteEnPaysage)
{
    auto f = Cree();
    auto* qt = dynamic_cast<ImprimanteQt*>(&f->Imprimante());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->Printer().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_GT(qt->LargeurPage(), qt->HauteurPage());
    // The recording printer put in its place takes the same set-up.
    auto factice = std::make_unique<ImprimanteFactice>(4960, 7016, 210, 297);
    ImprimanteFactice* p = factice.get();
    f->FixeImprimante(std::move(factice));
    EXPECT_TRUE(p->Paysage());
    EXPECT_EQ(f->Imprimante().LargeurPage(), 7016);
    EXPECT_EQ(f->Imprimante().HauteurMm(), 210);
}

TEST_F(Demarrage, InviteEnregistrementAuClavier)
{
    // The real boxes on the screen, answered with the keys a user types.
    Interlocuteur::Installe(nullptr);
    auto f = Cree();
    f->show();
    const std::string cave = Massif("cave.fic");
    const std::string avant = Contenu(cave);
    ASSERT_TRUE(f->OuvreMassif(cave));
    f->Massif->Origine_Declinaison = 3.5L;
    f->Massif->Enregistre = false;

    // Escape: cancelled, the massif stays open and unsaved.
    auto vue = ecran::RepondBoite(Qt::Key_Escape);
    f->Fermer1->trigger();
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(vue->texte, QStringLiteral("Désirez-vous enregistrer les changements dans cave.fic ?"));
    ASSERT_NE(f->Massif, nullptr);
    EXPECT_FALSE(f->Massif->Enregistre);

    // Alt+N: "Non", closed without saving.
    vue = ecran::RepondBoite(Qt::Key_N, Qt::AltModifier);
    f->Fermer1->trigger();
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(f->Massif, nullptr);
    EXPECT_EQ(Contenu(cave), avant);
    EXPECT_FALSE(fs::exists(Chemin("cave.BAK")));

    // Escape on "Quitter Karstomat ?" is No: the window stays.
    vue = ecran::RepondBoite(Qt::Key_Escape);
    EXPECT_FALSE(f->close());
    EXPECT_EQ(vue->texte, QStringLiteral("Quitter Karstomat ?"));
    EXPECT_TRUE(f->isVisible());
    // Quitting with unsaved changes: the save question's "Annuler" cancels the quit.
    Interlocuteur::Installe(&invite);
    ASSERT_TRUE(f->OuvreMassif(cave));
    f->Massif->Enregistre = false;
    invite.messages.clear();
    invite.reponses = {Bouton::Oui, Bouton::Annuler};
    EXPECT_FALSE(f->close());
    ASSERT_EQ(invite.messages.size(), 2u);
    EXPECT_EQ(invite.messages[1].boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::Non, Bouton::Annuler}));
    EXPECT_TRUE(f->isVisible());
    ASSERT_NE(f->Massif, nullptr);
    EXPECT_FALSE(f->Massif->Enregistre);
    f->hide();
}

TEST_F(Demarrage, BarresAvecIconesEtLegendesEntieres)
{
    auto f = Cree();
    f->resize(1600, 900);
    f->show();
    f->OuvreMassif(Massif("cave.fic"));
    QApplication::processEvents();
    // Buttons that have a freedesktop name take the theme's image.
    const std::pair<const char*, const char*> theme[] = {
        {"BoutonOuvrir", "document-open"},    {"BoutonEnregistrer", "document-save"},
        {"BoutonImprimer", "document-print"}, {"BoutonApercu", "document-print-preview"},
        {"Bouton_Arreter", "process-stop"},   {"BoutonCouper", "edit-cut"},
        {"BoutonCopier", "edit-copy"},        {"BoutonColler", "edit-paste"},
        {"BoutonSupprimer", "edit-delete"},   {"BoutonAnnuler", "edit-undo"},
        {"BoutonRechercher", "edit-find"},    {"Zoom", "zoom-in"},
        {"Rotation", "object-rotate-right"},  {"BoutonPrecedente", "go-previous"},
    };
    for (const auto& [nom, icone] : theme) {
        auto* a = f->findChild<QAction*>(QString::fromLatin1(nom));
        ASSERT_NE(a, nullptr) << nom;
        EXPECT_EQ(a->icon().name(), QString::fromLatin1(icone)) << nom;
        EXPECT_FALSE(a->icon().availableSizes().isEmpty()) << nom;
    }
    // The others carry a drawing, not the caption's first letters.
    for (const char* nom : {"BoutonPlan", "BoutonCoupe", "BoutonPerspective", "BoutonReferences", "Contrainte"}) {
        auto* a = f->findChild<QAction*>(QString::fromLatin1(nom));
        ASSERT_NE(a, nullptr) << nom;
        EXPECT_FALSE(a->icon().isNull()) << nom;
        EXPECT_TRUE(a->icon().name().isEmpty()) << nom;
    }
    // With the text labels, every caption is whole: no button is narrower than it asks.
    ASSERT_TRUE(f->Etiquettestexte1->isChecked());
    int vus = 0;
    for (QToolBar* b : {f->ToolBar1, f->ToolBar3})
        for (QToolButton* t : b->findChildren<QToolButton*>()) {
            if (!t->isVisible() || !t->defaultAction())
                continue;
            ++vus;
            EXPECT_GE(t->width(), t->sizeHint().width()) << t->text().toStdString();
            EXPECT_GE(t->width(), 65) << t->text().toStdString();
            EXPECT_EQ(t->height(), 40) << t->text().toStdString();
        }
    EXPECT_GE(vus, 12);
    // Icon and caption fit within the button's height, with the labels and without.
    for (int fois = 0; fois < 2; ++fois) {
        for (QToolBar* b : {f->ToolBar1, f->ToolBar3, f->ToolBar4})
            for (QToolButton* t : b->findChildren<QToolButton*>()) {
                if (t->defaultAction()) {
                    EXPECT_GE(t->height(), t->sizeHint().height()) << t->text().toStdString();
                }
            }
        f->Etiquettestexte1->trigger();
    }
    // The busy indicator's band stays within 30 pixels and shows the whole picture.
    EXPECT_LE(f->ToolBar2->width(), 30);
    ASSERT_TRUE(f->Animation->isVisible());
    EXPECT_TRUE(f->ToolBar2->rect().contains(f->Animation->geometry()))
        << f->ToolBar2->width() << " " << f->Animation->geometry().x() << " " << f->Animation->geometry().width();
    f->hide();
}

TEST_F(Demarrage, OngletsDesOptionsTousVisibles)
{
    auto f = Cree();
    f->show();
    f->OuvreMassif({});
    int vus = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        d.show();
        QApplication::processEvents();
        auto* onglets = d.findChild<QTabWidget*>();
        EXPECT_NE(onglets, nullptr);
        if (!onglets)
            return int(QDialog::Rejected);
        ++vus;
        QTabBar* barre = onglets->tabBar();
        for (int i = 0; i < barre->count(); ++i)
            EXPECT_TRUE(barre->rect().contains(barre->tabRect(i)))
                << d.objectName().toStdString() << " " << barre->tabText(i).toStdString();
        for (QToolButton* fleche : barre->findChildren<QToolButton*>())
            EXPECT_FALSE(fleche->isVisible()) << d.objectName().toStdString();
        d.hide();
        return int(QDialog::Rejected);
    });
    for (QAction* a : {f->Plan2, f->Coupe2, f->Perspective1, f->Tableau2})
        a->trigger();
    EXPECT_EQ(vus, 4);

    // The section's layout, the margins and the new-element wizard show whole where the
    // screen has room; made shorter, their pages scroll and their buttons stay in view.
    PiloteModalInstalle court([&](QDialog& d) {
        ++vus;
        d.show();
        const std::string nom = d.objectName().toStdString();
        if (d.sizeHint().height() < d.screen()->availableGeometry().height() - 10) {
            EXPECT_EQ(d.height(), d.sizeHint().height()) << nom;
        }
        d.resize(d.width(), 400);
        QApplication::processEvents();
        EXPECT_EQ(d.height(), 400) << nom;
        for (QPushButton* b : d.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(b->isHidden() || d.rect().contains(b->geometry())) << nom << b->text().toStdString();
        for (PageDefilante* p : d.findChildren<PageDefilante*>())
            EXPECT_TRUE(p->isHidden() || p->widget()->height() >= p->widget()->minimumSizeHint().height()) << nom;
        d.hide();
        return int(QDialog::Rejected);
    });
    for (QAction* a : {f->Coupe2, f->Marges1, f->Nouveau1})
        a->trigger();
    EXPECT_EQ(vus, 7);
}

TEST_F(Demarrage, SauvegardeRemplaceLExtensionSeulement)
{
    auto f = Cree();
    // A massif with no extension in a folder "m": its backup stays beside it.
    fs::create_directory(Chemin("m"));
    const std::string ab = Massif("m/ab");
    const std::string avant = Contenu(ab);
    Ecrit(Chemin("mBAK"), "voisin");
    ASSERT_TRUE(f->OuvreMassif(ab));
    f->Massif->Origine_Declinaison = 1.5L;
    ASSERT_TRUE(f->Enregistrer1Click());
    EXPECT_EQ(Contenu(Chemin("m/ab.BAK")), avant);
    EXPECT_EQ(Contenu(Chemin("mBAK")), "voisin");
    EXPECT_NE(Contenu(ab), avant);

    // "x.fic" still backs up to "x.BAK", and "x.mas" to the same name.
    const std::string x = Massif("x.fic");
    const std::string xAvant = Contenu(x);
    ASSERT_TRUE(f->OuvreMassif(x));
    f->Massif->Origine_Declinaison = 2.5L;
    ASSERT_TRUE(f->Enregistrer1Click());
    EXPECT_EQ(Contenu(Chemin("x.BAK")), xAvant);
    EXPECT_FALSE(fs::exists(Chemin("x.fic.BAK")));
}

TEST_F(Demarrage, VersionPlusRecenteAvertit)
{
    auto f = Cree();
    const std::string nom = Chemin("futur.fic");
    fs::copy_file(std::string(KARST_TEST_DATA) + "/massif_1006.fic", nom);
    EXPECT_FALSE(f->OuvreMassif(nom));
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Ce fichier correspond à une version plus récente du logiciel"));
    EXPECT_EQ(invite.messages[0].icone, Icone::Avertissement);
    EXPECT_EQ(invite.messages[0].boutons, std::vector<Bouton>{Bouton::OK});
    EXPECT_EQ(f->Massif, nullptr);
}
