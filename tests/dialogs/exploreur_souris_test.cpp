// The explorer under the user's mouse and keyboard, in the shown main window: renaming from
// the pop-up menu with typed names, Enter and Escape, and drags from the list in every list
// style; the massif is saved and read back.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "boite_reelle.h"
#include "dialogs/exploreur.h"
#include "form1_aide.h"
#include "hote_factice.h"
#include "platform/canvas.h"
#include "platform/dialogues_qt.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/hote_form1.h"
#include "survey/aide_fichiers.h"

using namespace karst;
using namespace karst::test;

namespace {

QTreeWidgetItem* Enfant(QTreeWidgetItem* n, const QString& texte)
{
    for (int i = 0; n && i < n->childCount(); ++i)
        if (n->child(i)->text(0) == texte)
            return n->child(i);
    return nullptr;
}

class ExplorateurSouris : public AvecForm1 {
protected:
    void TearDown() override
    {
        if (f && f->Massif)
            f->Massif->Enregistre = true;
    }

    // Opens the massif of those addresses, saved under a name, in a shown main window.
    void Ouvre(const std::vector<Adresse>& adresses)
    {
        chemin = dirM.path().toStdString() + "/grottes.fic";
        {
            TMassif m;
            for (const Adresse& a : adresses)
                Fiche(m, a);
            m.Sauve(chemin);
        }
        f = Cree();
        f->resize(1100, 750);
        f->show();
        ASSERT_TRUE(f->OuvreMassif(chemin));
        e = Exploreur(*f);
        ASSERT_NE(e, nullptr);
        e->MiseAJour();
        Attend();
        f->Massif->Enregistre = true;
    }
    // Lets the deferred rebuild and the events run.
    void Attend()
    {
        QApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !e->Timer1->isActive(); }, 2000));
        QApplication::processEvents();
    }
    // The addresses of the saved massif, read back from the file, in sheet order.
    std::vector<Adresse> Relu()
    {
        const std::string copie = dirM.path().toStdString() + "/relu.fic";
        f->Massif->Sauve(copie);
        TMassif m;
        m.NomFichier = copie;
        EXPECT_EQ(m.Charge().etat, EtatChargement::Charge);
        std::vector<Adresse> r;
        for (TFiche* fiche : m.Fiches)
            r.push_back(AdresseFiche(*fiche));
        return r;
    }
    std::string Octets()
    {
        const std::string copie = dirM.path().toStdString() + "/octets.fic";
        f->Massif->Sauve(copie);
        return essai::Contenu(copie);
    }

    QAbstractItemView* Liste() { return e->ListView1->Vue(); }
    QModelIndex Ligne(const QString& texte)
    {
        QStandardItemModel* m = e->ListView1->Modele();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->item(r, 0)->text() == texte)
                return m->index(r, 0);
        ADD_FAILURE() << "no list item " << texte.toStdString();
        return {};
    }
    QPoint Centre(const QModelIndex& i)
    {
        Liste()->scrollTo(i);
        return Liste()->visualRect(i).center();
    }
    QPoint Centre(QTreeWidgetItem* n)
    {
        e->TreeView1->scrollToItem(n);
        return e->TreeView1->visualItemRect(n).center();
    }
    // A left click on a tree node or a list item.
    void Clique(QTreeWidgetItem* n) { QTest::mouseClick(e->TreeView1->viewport(), Qt::LeftButton, {}, Centre(n)); }
    void Clique(const QModelIndex& i) { QTest::mouseClick(Liste()->viewport(), Qt::LeftButton, {}, Centre(i)); }
    // The pop-up menu of the control under the point, and one of its items by its mnemonic.
    void Menu(QWidget* vue, const QPoint& p, Qt::Key mnemonique)
    {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, p, vue->mapToGlobal(p));
        QApplication::sendEvent(vue, &menu);
        QApplication::processEvents();
        ASSERT_TRUE(e->PopupMenu1->isVisible());
        QTest::keyClick(e->PopupMenu1, mnemonique);
        QApplication::processEvents();
    }
    // The same menu asked with Shift+F10, as on a laptop without a Menu key; a shortcut on
    // those keys does not fire as well.
    void MenuAuClavier(Qt::Key mnemonique)
    {
        HabilleDialoguesQt();
        QAction raccourci(f.get());
        raccourci.setShortcut(Qt::SHIFT | Qt::Key_F10);
        f->addAction(&raccourci);
        QSignalSpy tire(&raccourci, &QAction::triggered);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
        QApplication::processEvents();
        ASSERT_TRUE(e->PopupMenu1->isVisible());
        EXPECT_TRUE(tire.isEmpty());
        QTest::keyClick(e->PopupMenu1, mnemonique);
        QApplication::processEvents();
    }
    // Types into the control with the focus, then presses a key and lets the rebuild run.
    void Tape(const QString& texte, Qt::Key fin)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(qobject_cast<QLineEdit*>(focus)) << (focus ? focus->metaObject()->className() : "none");
        QTest::keyClicks(focus, texte);
        QTest::keyClick(QApplication::focusWidget(), fin);
        Attend();
    }
    void Annule(int fois = 1)
    {
        while (fois-- > 0)
            f->Annuler1->trigger();
        Attend();
    }

    std::unique_ptr<TForm1> f;
    TExploreur* e = nullptr;
    std::string chemin;
};

// What the system's drag loop does with the dragged data, which synthetic mouse events cannot
// drive: the data, as the view made it, enters, moves over and drops on the first widget
// under the point that takes drops.
struct Depot {
    QWidget* cible = nullptr;
    QPoint point;
    int glisses = 0;

    Qt::DropAction operator()(QDrag& d)
    {
        ++glisses;
        QWidget* w = cible;
        while (w && !w->acceptDrops())
            w = w->parentWidget();
        if (!w)
            return Qt::IgnoreAction;
        const QPoint p = w->mapFrom(cible->window(), cible->mapTo(cible->window(), point));
        const QMimeData* m = d.mimeData();
        QDragEnterEvent entre(p, Qt::MoveAction, m, Qt::LeftButton, {});
        QApplication::sendEvent(w, &entre);
        if (!entre.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent passe(p, Qt::MoveAction, m, Qt::LeftButton, {});
        QApplication::sendEvent(w, &passe);
        if (!passe.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent lache(QPointF(p), Qt::MoveAction, m, Qt::LeftButton, {});
        QApplication::sendEvent(w, &lache);
        return lache.dropAction();
    }
};

}  // namespace

TEST_F(ExplorateurSouris, RenommerDepuisLArbreEtDepuisLaListe)
{
    Ouvre({{"S", "C", "R", "L"}, {"S", "C", "R", "M"}, {"S", "D", "R", "L"}, {"T", "E", "R", "L"}});
    const std::string origine = Octets();
    QTreeWidgetItem* s = Enfant(e->Racine(), "S");
    ASSERT_NE(s, nullptr);
    Clique(s);
    QApplication::processEvents();
    ASSERT_EQ(e->NoeudSelectionne(), s);

    // Escape: the editor goes, nothing changes.
    MenuAuClavier(Qt::Key_M);
    Tape(QStringLiteral("Perdu"), Qt::Key_Escape);
    EXPECT_TRUE(e->Annulations.empty());
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_EQ(Octets(), origine);

    // The editor stays open past a deferred rebuild that comes due meanwhile, then Enter
    // renames.
    Menu(e->TreeView1->viewport(), Centre(s), Qt::Key_M);
    QSignalSpy reconstruction(e->Timer1, &QTimer::timeout);
    e->DemandeMiseAJour();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reconstruction.isEmpty(); }, 2000));
    Tape(QStringLiteral("Sud"), Qt::Key_Return);
    EXPECT_EQ(e->Annulations.size(), 1u);
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_EQ(Relu(),
              (std::vector<Adresse>{
                  {"Sud", "C", "R", "L"}, {"Sud", "C", "R", "M"}, {"Sud", "D", "R", "L"}, {"T", "E", "R", "L"}}));
    ASSERT_NE(Enfant(e->Racine(), "Sud"), nullptr);
    EXPECT_EQ(Enfant(e->Racine(), "S"), nullptr);
    Annule();
    EXPECT_EQ(Octets(), origine);

    // From the list: the caves of S; Enter renames the cave instead of opening it.
    s = Enfant(e->Racine(), "S");
    ASSERT_NE(s, nullptr);
    Clique(s);
    QApplication::processEvents();
    ASSERT_EQ(e->ListView1->Nombre(), 2);
    const QModelIndex c = Ligne("C");
    Clique(c);
    Menu(Liste()->viewport(), Centre(c), Qt::Key_M);
    Tape(QStringLiteral("Grotte"), Qt::Key_Return);
    EXPECT_EQ(e->NoeudSelectionne()->text(0), QStringLiteral("S"));  // not opened
    EXPECT_EQ(Relu(),
              (std::vector<Adresse>{
                  {"S", "Grotte", "R", "L"}, {"S", "Grotte", "R", "M"}, {"S", "D", "R", "L"}, {"T", "E", "R", "L"}}));
    const std::size_t pas = e->Annulations.size();

    // Escape in the list's editor changes nothing either.
    f->Massif->Enregistre = true;
    const QModelIndex d = Ligne("D");
    Clique(d);
    MenuAuClavier(Qt::Key_M);
    Tape(QStringLiteral("Perdu"), Qt::Key_Escape);
    EXPECT_EQ(e->Annulations.size(), pas);
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_EQ(e->NoeudSelectionne()->text(0), QStringLiteral("S"));

    // Enter on a list item (no editor) opens it.
    Clique(Ligne("D"));
    QTest::keyClick(Liste(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(e->NoeudSelectionne()->text(0), QStringLiteral("D"));

    // One undo step gives the cave its name back.
    Annule();
    EXPECT_EQ(Octets(), origine);
}

// F2 and a slow second click on the selected name open the same editor as "Renommer", in the
// tree and in the list, wherever renaming is allowed.
TEST_F(ExplorateurSouris, RenommerAuClavierEtParUnSecondClic)
{
    using Adresses = std::vector<Adresse>;
    Ouvre({{"S", "C", "R", "L"}, {"S", "D", "R", "L"}, {"T", "E", "R", "L"}});
    const std::string origine = Octets();
    auto editeur = [] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; };
    auto touche = [&](auto cible, Qt::Key k) {
        Clique(cible);
        QApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), k);
    };
    auto secondClic = [&](auto cible) {
        Clique(cible);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Clique(cible);
        EXPECT_TRUE(QTest::qWaitFor(editeur, 3000));
    };

    touche(e->Racine(), Qt::Key_F2);
    EXPECT_FALSE(editeur());  // the root takes no editor

    // F2 on a tree folder: Escape changes nothing, Enter renames in one undo step.
    touche(Enfant(e->Racine(), "S"), Qt::Key_F2);
    Tape(QStringLiteral("Perdu"), Qt::Key_Escape);
    EXPECT_TRUE(e->Annulations.empty());
    EXPECT_TRUE(f->Massif->Enregistre);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    Tape(QStringLiteral("Sud"), Qt::Key_Return);
    EXPECT_EQ(e->Annulations.size(), 1u);
    EXPECT_EQ(Relu(), (Adresses{{"Sud", "C", "R", "L"}, {"Sud", "D", "R", "L"}, {"T", "E", "R", "L"}}));
    Annule();
    EXPECT_EQ(Octets(), origine);

    // A letter the file lacks is asked about: Return on the box (Non) leaves the editor on the
    // name typed; kept, it is one '?'. A second name that would then meet it says the folders merge.
    touche(Enfant(e->Racine(), "T"), Qt::Key_F2);
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("RĦ"), {});
    Interlocuteur::Installe(nullptr);
    const auto non = ecran::RepondBoite(Qt::Key_Return);
    Tape({}, Qt::Key_Return);
    Interlocuteur::Installe(&invite);
    EXPECT_EQ(non->texte, QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas garder :\nLe "
                                         "nouveau nom : « Ħ »\nIls seront enregistrés comme « ? ». Le garder ainsi ?"));
    ASSERT_TRUE(editeur());
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QStringLiteral("RĦ"));
    EXPECT_TRUE(e->Annulations.empty());
    invite.reponses = {Bouton::Oui, Bouton::Non};
    Tape({}, Qt::Key_Return);
    EXPECT_EQ(Relu(), (Adresses{{"S", "C", "R", "L"}, {"S", "D", "R", "L"}, {"R?", "E", "R", "L"}}));
    touche(Enfant(e->Racine(), "S"), Qt::Key_F2);
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("rΩ"), {});
    Tape({}, Qt::Key_Return);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas "
                                                     "garder :\rLe nouveau nom : « Ω »\rIls seront enregistrés comme "
                                                     "« ? ». Le dossier sera alors confondu avec « R? ». Le garder "
                                                     "ainsi ?"));
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Non);
    Tape({}, Qt::Key_Escape);
    EXPECT_EQ(e->Annulations.size(), 1u);
    Annule();
    EXPECT_EQ(Octets(), origine);

    secondClic(Enfant(e->Racine(), "T"));
    Tape(QStringLiteral("Tras"), Qt::Key_Return);
    EXPECT_EQ(Relu(), (Adresses{{"S", "C", "R", "L"}, {"S", "D", "R", "L"}, {"Tras", "E", "R", "L"}}));
    Annule();

    // In the list: F2 on a cave, then a slow second click on another.
    Clique(Enfant(e->Racine(), "S"));
    QApplication::processEvents();
    touche(Ligne("C"), Qt::Key_F2);
    // Under a big icon the editor shows as one: framed, as wide as the item at least.
    ASSERT_EQ(e->ListView1->Style(), 0);
    auto* nom = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(nom, nullptr);
    EXPECT_TRUE(nom->hasFrame());
    EXPECT_GE(nom->width(), Liste()->visualRect(Liste()->currentIndex()).width());
    Tape(QStringLiteral("Grotte"), Qt::Key_Return);
    EXPECT_EQ(e->Annulations.size(), 1u);
    touche(Ligne("Grotte"), Qt::Key_F2);
    Tape(QStringLiteral("Perdu"), Qt::Key_Escape);
    // No click here: a second click so soon would be a double click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    Tape(QStringLiteral("Corbeille"), Qt::Key_Return);  // undone, as in the tree
    EXPECT_EQ(e->Annulations.size(), 1u);
    // The list asks as the tree does: Non leaves the caret after the name, Oui keeps one '?'.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("Ħ"), {});
    invite.reponses = {Bouton::Non, Bouton::Oui};
    Tape({}, Qt::Key_Return);
    Tape(QStringLiteral("x"), Qt::Key_Return);
    const QString question =
        QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas garder :\rLe "
                       "nouveau nom : « Ħ »\rIls seront enregistrés comme « ? ». Le garder ainsi ?");
    EXPECT_EQ(invite.Textes().mid(invite.Textes().size() - 2), QStringList(2, question));
    EXPECT_EQ(Relu()[0], (Adresse{"S", "?x", "R", "L"}));
    Annule();
    secondClic(Ligne("D"));
    Tape(QStringLiteral("Doline"), Qt::Key_Return);
    EXPECT_EQ(Relu(), (Adresses{{"S", "Grotte", "R", "L"}, {"S", "Doline", "R", "L"}, {"T", "E", "R", "L"}}));
    Annule(2);
    EXPECT_EQ(Octets(), origine);

    // Delete is "Supprimer", in the list and in the tree: the same question, one undo step each.
    invite.reponses = {Bouton::Oui, Bouton::Oui};
    touche(Ligne("C"), Qt::Key_Delete);
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Mettre le dossier C dans la corbeille ?"));
    touche(Enfant(e->Racine(), "T"), Qt::Key_Delete);
    Attend();
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Mettre le dossier T dans la corbeille ?"));
    EXPECT_EQ(Relu(), (Adresses{{"S", "D", "R", "L"}}));
    Annule(2);
    auto relu = Relu();
    std::sort(relu.begin(), relu.end());
    EXPECT_EQ(relu, (Adresses{{"S", "C", "R", "L"}, {"S", "D", "R", "L"}, {"T", "E", "R", "L"}}));
}

// Undo follows the sheets handled through the bin, new numbers and the section, and undoes
// only the caver's steps.
TEST_F(ExplorateurSouris, AnnulerSuitLesFichesManiees)
{
    const std::vector<Adresse> depart{
        {"A", "C", "R", "L"}, {"L", "C", "R", "L"}, {"P", "C", "R", "L"}, {"Z", "C", "R", "L"}};
    Ouvre(depart);
    // A step clicks a system ('/': the root), then Couper, Copier, Coller, Supprimer or Annuler.
    QAction* boutons[] = {f->BoutonCouper, f->BoutonCopier, f->BoutonColler, f->BoutonSupprimer, f->BoutonAnnuler};
    auto pas = [&](std::initializer_list<const char*> suite) {
        for (const char* p : suite) {
            Clique(*p == '/' ? e->Racine() : Enfant(e->Racine(), QString(QChar(*p))));
            QTest::mouseClick(f->ToolBar3->widgetForAction(boutons[std::string("xcvsz").find(p[1])]), Qt::LeftButton);
            Attend();
        }
    };
    f->Plan1->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    f->Explorateur1->trigger();
    invite.reponses = {Bouton::Oui};
    pas({"Lx", "Zv", "Zs", "/z", "/z"});  // L moved, deleted with Z, both back under new numbers
    const std::vector<Adresse> apres{depart[0], depart[2], depart[3], depart[1]};
    EXPECT_EQ(Relu(), apres);
    pas({"Pc", "Av"});  // a copy given a branch start, undone, and a copy under its number
    f->Massif->Fiches.back()->Galeries[0]->DansCoupe = true;
    f->Massif->Coupe.ajoute(std::make_unique<TPointCoupe>())->Fiche = 6;
    plan->SelectionnePosition(4, 0, 1);
    pas({"/z", "Zc", "Av"});
    EXPECT_TRUE(!plan->SelectionValide && f->Massif->Coupe.empty() && f->Massif->Fiches.back()->Ordre == 6);
    pas({"Zx", "/v"});  // no step: pasted on the root, which names no system
    Clique(Enfant(e->Racine(), "A"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    Tape({}, Qt::Key_Return);  // no step: the name kept
    pas({"/z"});
    EXPECT_EQ(Relu(), apres);
}

// The keyboard acts on the item with the focus frame; a command with nothing shown selected is
// greyed or says why.
TEST_F(ExplorateurSouris, LeClavierAgitSurCeQuiEstMontre)
{
    Ouvre({{"S", "C", "R", "L"}, {"S", "D", "R", "L"}, {"S", "E", "R", "L"}});
    QTest::mouseClick(f->ToolBar3->widgetForAction(f->BoutonAnnuler), Qt::LeftButton);
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Il n'y a rien à annuler.")});
    Clique(Enfant(e->Racine(), "S"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Liste());
    invite.reponses = {Bouton::Annuler};
    MenuAuClavier(Qt::Key_S);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Mettre le dossier C dans la corbeille ?"));
    // Unselected, the first cave is selected again by an arrow that cannot go further.
    QTest::keyClick(Liste(), Qt::Key_Space, Qt::ControlModifier);
    ASSERT_EQ(e->ListView1->Selection(), -1);
    QTest::keyClick(Liste(), Qt::Key_Up);
    EXPECT_EQ(e->ListView1->Selection(), 0);
    // After F2, the next arrow goes on from the renamed cave.
    QTest::keyClick(Liste(), Qt::Key_Right);
    QTest::keyClick(Liste(), Qt::Key_F2);
    Tape(QStringLiteral("Dd"), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(e->ListView1->Texte(e->ListView1->Selection()), "E");

    // The empty bin offers neither « Couper » nor « Restaurer ».
    Clique(e->NoeudCorbeille());
    MenuAuClavier(Qt::Key_V);  // « Vider la corbeille »: there is nothing to empty
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("La corbeille est vide."));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(e->PopupMenu1->isVisible());
    EXPECT_FALSE(e->Couper1->isEnabled());
    EXPECT_FALSE(e->Restaurer1->isEnabled());
    QTest::keyClick(e->PopupMenu1, Qt::Key_Escape);

    // « Parent » on the root leaves nothing selected: the toolbar's commands say so.
    Clique(e->Racine());
    const int avant = invite.Textes().size();
    for (QAction* a : {f->BoutonParent, f->BoutonSupprimer, f->BoutonCouper, f->BoutonEditer})
        QTest::mouseClick(f->ToolBar3->widgetForAction(a), Qt::LeftButton);
    EXPECT_EQ(invite.Textes().mid(avant),
              QStringList(3, QStringLiteral("Choisissez d'abord un dossier ou une fiche.")));
}

TEST_F(ExplorateurSouris, GlisserDepuisLaListeDansChaqueStyle)
{
    std::vector<Adresse> adresses{{"Z", "K", "R", "L"}};
    for (int k = 0; k < 4; ++k)
        for (const char* s : {"A", "M", "N", "P"})
            adresses.push_back({s + std::to_string(k), "K", "R", "L"});
    Ouvre(adresses);
    QAction* styles[4] = {f->Grandesicnes1, f->Petitesicnes1, f->Liste1, f->Dtail1};
    Depot depot;
    PiloteGlisseInstalle pilote([&depot](QDrag& d) { return depot(d); });
    // Press on the item, then move the mouse with the button held.
    auto glisse = [&](const QModelIndex& i, QWidget* cible, const QPoint& point) {
        depot.cible = cible;
        depot.point = point;
        const int avant = depot.glisses;
        QWidget* v = Liste()->viewport();
        const QPoint p = Centre(i);
        QTest::mousePress(v, Qt::LeftButton, {}, p);
        for (int pas = 1; pas <= 4; ++pas)
            QTest::mouseMove(v, p + QPoint(8 * pas, 8 * pas));
        QTest::mouseRelease(v, Qt::LeftButton, {}, p + QPoint(32, 32));
        EXPECT_EQ(depot.glisses, avant + 1) << "no drag started";
        Attend();
    };
    for (int k = 0; k < 4; ++k) {
        const QString n = QString::number(k);
        styles[k]->trigger();
        QApplication::processEvents();
        ASSERT_EQ(e->ListView1->Style(), k);
        Clique(e->Racine());
        QApplication::processEvents();
        // A system of the list dropped on a system of the tree joins it.
        glisse(Ligne("A" + n), e->TreeView1->viewport(), Centre(Enfant(e->Racine(), "Z")));
        // A system dropped on another of the list merges with it.
        glisse(Ligne("M" + n), Liste()->viewport(), Centre(Ligne("N" + n)));
        // A system dropped on the bin goes there, after the question.
        invite.reponses = {Bouton::Oui};
        glisse(Ligne("P" + n), Liste()->viewport(), Centre(Ligne("Corbeille")));
        ASSERT_FALSE(invite.Textes().isEmpty());
        EXPECT_EQ(invite.Textes().back(), QStringLiteral("Mettre le dossier P%1 dans la corbeille ?").arg(k));
    }
    std::vector<Adresse> attendu{{"Z", "K", "R", "L"}};
    for (int k = 0; k < 4; ++k) {
        const std::string n = std::to_string(k);
        attendu.push_back({"Z", "K", "R", "L"});
        attendu.push_back({"N" + n, "K", "R", "L"});
        attendu.push_back({"N" + n, "K", "R", "L"});
    }
    EXPECT_EQ(Relu(), attendu);
    EXPECT_EQ(f->Massif->Corbeille.size(), 4u);
}

// The thumbnail page stays drawn when the user moves the splitter or resizes the window.
TEST_F(ExplorateurSouris, LaVignetteResteDessineeAuxRedimensionnements)
{
    Ouvre({});
    // Sheets of placed galleries, as a computation leaves them.
    Fiche(*f->Massif, {"S", "C", "R", "L"}, "01/01/90", 0, 0, 40);
    Fiche(*f->Massif, {"S", "D", "R", "L"}, "01/01/90", 0, 30, 20);
    f->Massif->PointsCalcules = true;
    e->MiseAJour();
    if (!f->Web1->isChecked())
        f->Web1->trigger();
    ASSERT_TRUE(f->Web1->isChecked());
    Clique(Enfant(e->Racine(), "S"));
    // The title band's disc and a line of the plan.
    auto dessinee = [&] {
        CanvasImage& c = e->Zone_web->Bitmap();
        if (c.Largeur() != e->Zone_web->width() || c.Pixel(51, 94) != 0xFF9900u)
            return false;
        for (int y = 101; y < c.Hauteur(); ++y)
            for (int x = 0; x < e->LargeurWeb(); ++x)
                if (c.Pixel(x, y) == kNoir)
                    return true;
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor(dessinee, 2000));  // the thumbnail follows the list 200 ms later
    // The splitter's handle dragged to the right.
    QSplitterHandle* poignee = e->Splitter1->handle(1);
    const QPoint p = poignee->rect().center();
    const int largeur = e->Zone_web->width();
    QTest::mousePress(poignee, Qt::LeftButton, {}, p);
    QTest::mouseMove(poignee, p + QPoint(20, 0));
    QTest::mouseMove(poignee, p + QPoint(60, 0));
    QTest::mouseRelease(poignee, Qt::LeftButton, {}, p + QPoint(60, 0));
    QApplication::processEvents();
    ASSERT_NE(e->Zone_web->width(), largeur);
    EXPECT_TRUE(dessinee());
    // The main window made smaller.
    f->resize(900, 600);
    QApplication::processEvents();
    EXPECT_TRUE(dessinee());
}
