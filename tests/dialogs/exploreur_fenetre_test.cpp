// The explorer in the main window: created with the massif, its commands in the menus and
// toolbars, its styles, and the statistics and new-element commands.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <QLineEdit>
#include "calcul/drapeaux.h"
#include "dialogs/exploreur.h"
#include "dialogs/nouveaute.h"
#include "form1_aide.h"
#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/form1.h"
#include "shell/hote_form1.h"
#include "shell/hote_saisie.h"

using namespace karst;
using namespace karst::test;

namespace {

class FenetreExplorateur : public AvecForm1 {
protected:
    // A massif of two sheets saved under a name with an accent (UTF-8 on the disk).
    std::string Massif()
    {
        const std::string chemin = dirM.path().toStdString() + "/grotte-des-fées.fic";
        TMassif m;
        Fiche(m, {"S", "C", "R", "L"});
        Fiche(m, {"T", "D", "R", "L"});
        m.Sauve(chemin);
        return chemin;
    }
};

}  // namespace

TEST_F(FenetreExplorateur, OuvertAvecLeMassifEtSesCommandes)
{
    auto f = Cree();
    EXPECT_TRUE(f->Nouveau1->isEnabled());
    EXPECT_FALSE(f->Explorateur1->isEnabled());
    ASSERT_TRUE(f->OuvreMassif(Massif()));
    TExploreur* e = Exploreur(*f);
    ASSERT_NE(e, nullptr);
    auto* cadre = qobject_cast<QMdiSubWindow*>(e->parentWidget());
    ASSERT_NE(cadre, nullptr);
    EXPECT_TRUE(cadre->isMaximized());
    for (QAction* a :
         {f->Annuler1, f->Couper1, f->BoutonPrecedente, f->BoutonProprietes, f->Explorateur1, f->Statistiques1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();

    // The first build comes with the explorer command; the root is named after the file.
    f->Explorateur1->trigger();
    EXPECT_EQ(e->Racine()->text(0), QStringLiteral("Massif"));
    e->ConstruitArbre();
    EXPECT_EQ(e->Racine()->text(0), QStringLiteral("grotte-des-fées"));

    // A deletion, then the main window's undo.
    e->SelectionneNoeud(e->Racine()->child(1));
    e->DonneFocus(TExploreur::Controle::Arbre);
    invite.reponses = {Bouton::Oui};
    // A computation running meanwhile is stopped and started again, though "Automatique"
    // is off.
    CalculEnCours = true;
    ArretCalcul = false;
    f->BoutonSupprimer->trigger();
    EXPECT_EQ(f->Massif->Fiches.size(), 1u);
    EXPECT_TRUE(ArretCalcul);
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    f->Depart_Calcul_Rapide->stop();
    CalculEnCours = false;
    ArretCalcul = false;
    f->Annuler1->trigger();
    EXPECT_EQ(f->Massif->Fiches.size(), 2u);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());  // nothing ran, "Automatique" is off

    // The list style follows the main window's ticks.
    f->StyleListe(3);
    EXPECT_EQ(e->ListView1->Style(), 3);
    f->ToolButton18Click();
    EXPECT_EQ(e->ListView1->Style(), 0);

    // Restored, the explorer goes down instead.
    cadre->showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(cadre->isMinimized());
    EXPECT_FALSE(f->Annuler1->isEnabled());
    f->Explorateur1->trigger();
    EXPECT_TRUE(cadre->isMaximized());

    // The statistics over the current sheets.
    QString fiches;
    {
        PiloteModalInstalle p([&](QDialog& d) {
            fiches = d.findChild<QLabel*>(QStringLiteral("Fiche"))->text();
            return int(QDialog::Accepted);
        });
        f->Statistiques1->trigger();
    }
    EXPECT_EQ(fiches, QStringLiteral("Nombre de fiches : 2"));

    // Closing the massif frees the explorer.
    f->Massif->Enregistre = true;
    f->FermeMassif();
    EXPECT_TRUE(f->FenetreExploreur.isNull());
}

TEST_F(FenetreExplorateur, NouveauMassifParLAssistant)
{
    auto f = Cree();
    {
        PiloteModalInstalle p([&](QDialog& d) {
            auto& n = static_cast<TNouveaute&>(d);
            n.Niveau->button(0)->click();
            n.Avant->click();
            n.Avant->click();
            return n.result();
        });
        f->Nouveau1->trigger();
    }
    ASSERT_NE(f->Massif, nullptr);
    EXPECT_TRUE(f->Massif->NomFichier.empty());
    EXPECT_NE(Exploreur(*f), nullptr);
}

TEST_F(FenetreExplorateur, ExempleEnPageWeb)
{
    auto f = Cree();
    f->resize(1100, 750);
    f->show();
    ASSERT_TRUE(f->OuvreMassif(std::string(KARST_EXAMPLES) + "/pierrefeu.fic"));
    TExploreur* e = Exploreur(*f);
    ASSERT_NE(e, nullptr);
    e->ConstruitArbre();
    QCoreApplication::processEvents();
    e->DessineWeb();
    // The example's systems, its sheets all in the folders.
    ASSERT_GE(e->Racine()->childCount(), 2);
    int fiches = 0;
    for (int i = 0; i < e->Racine()->childCount(); ++i)
        if (e->Racine()->child(i) != e->NoeudCorbeille())
            fiches += static_cast<int>(e->FichesDossier(e->Localisation_Noeud(e->Racine()->child(i)), 1).size());
    EXPECT_EQ(fiches, static_cast<int>(f->Massif->Fiches.size()));
    // A picture of the window for whoever wants to look at it.
    if (const QByteArray chemin = qgetenv("KARST_CAPTURE"); !chemin.isEmpty())
        f->grab().save(QString::fromLocal8Bit(chemin));
    f->Massif->Enregistre = true;
}

TEST_F(FenetreExplorateur, NouvelleFicheEtOuvertureDansLEditeur)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(Massif()));
    TExploreur* e = Exploreur(*f);
    e->ConstruitArbre();
    QTreeWidgetItem* s = e->Racine()->child(1);
    ASSERT_EQ(s->text(0), QStringLiteral("S"));
    e->SelectionneNoeud(s);
    e->SelectionneNoeud(s->child(0));
    e->DonneFocus(TExploreur::Controle::Arbre);
    MultPageDlg->Lieu->setText(QStringLiteral("ancien"));
    MultPageDlg->Reseau->setText(QStringLiteral("ancien"));
    QStringList champs;
    TFiche* ouverte = nullptr;
    PiloteModalInstalle p([&](QDialog& d) {
        if (auto* m = qobject_cast<TMultPageDlg*>(&d)) {
            champs = {m->Systeme->text(), m->Cavite->text(), m->Reseau->text(), m->Lieu->text()};
            ouverte = m->Fiche;
        }
        return int(QDialog::Rejected);
    });
    e->Nouvellefiche1Click();
    // System and cave from the folder, the place emptied, the network left as it was.
    EXPECT_EQ(champs, (QStringList{"S", "C", "ancien", ""}));
    EXPECT_EQ(ouverte, nullptr);

    // A sheet of a place opens in the editor.
    QTreeWidgetItem* n = s->child(0);
    e->SelectionneNoeud(n);
    n = n->child(0);
    e->SelectionneNoeud(n);
    e->SelectionneNoeud(n->child(0));
    ASSERT_EQ(e->ListView1->Nombre(), 1);
    e->ListView1->Selectionne(0);
    e->ListView1DblClick();
    EXPECT_EQ(ouverte, f->Massif->Fiches[0]);
    f->Massif->Enregistre = true;
}
