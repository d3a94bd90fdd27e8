// Data, selection, exchange and display commands of the main window: the working selection
// and its widening, imports and exports through the file dialogs, the table's sort order,
// the tooltip and option dialogs, and model files reaching the open view windows.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>

#include "application_test.h"
#include "calcul/drapeaux.h"
#include "dialogs/choix_recherche.h"
#include "dialogs/dialogues_saisie.h"
#include "dialogs/hote_dialogues.h"
#include "dialogs/nouveaute.h"
#include "dialogs/point_topo.h"
#include "dialogs/references.h"
#include "formulaires/def_bulles.h"
#include "formulaires/dlg_svg.h"
#include "formulaires/nvlle_branche.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/afficheur.h"
#include "shell/dialogues_calcul.h"
#include "shell/form1.h"
#include "shell/hote_form1.h"
#include "shell/impression.h"
#include "shell/outils_3d.h"
#include "survey/aide_fichiers.h"
#include "views/contexte.h"
#include "views/plan.h"

using namespace karst;
using essai::Contenu;
namespace fs = std::filesystem;

namespace {

class Commandes : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CalculEnCours = false;
        ArretCalcul = false;
    }
    void TearDown() override
    {
        CalculEnCours = false;
        ArretCalcul = false;
    }

    // A main window on empty folders with an unnamed massif, "Automatique" as asked.
    std::unique_ptr<TForm1> Cree(bool automatique = true)
    {
        auto f = std::make_unique<TForm1>(dirU.path().toStdString() + "/", dirP.path().toStdString() + "/");
        f->Timer2->stop();
        f->Automatique1->setChecked(automatique);
        f->OuvreMassif({});
        f->Depart_Calcul_Rapide->stop();
        return f;
    }

    // Sheets at these addresses (system, cave, network, place), numbered in this order.
    static void Fiches(TForm1& f, const std::vector<std::array<const char*, 4>>& adresses)
    {
        for (const auto& a : adresses) {
            auto fi = std::make_unique<TFiche>();
            fi->Systeme.Affecte(a[0]);
            fi->Cavite.Affecte(a[1]);
            fi->Reseau.Affecte(a[2]);
            fi->Lieu.Affecte(a[3]);
            f.Massif->AjouteFiche(std::move(fi), false);
        }
    }

    static std::vector<int32_t> Ordres(const ListeFiches& l)
    {
        std::vector<int32_t> r;
        for (const TFiche* fi : l)
            r.push_back(fi->Ordre);
        return r;
    }

    // "Iso&ler ..." as the search would end: these sheets (positions in Fiches) found.
    static void Isole(TForm1& f, std::initializer_list<int> positions)
    {
        auto l = std::make_unique<ListeFiches>();
        for (int p : positions)
            l->push_back(f.Massif->Fiches[static_cast<std::size_t>(p)]);
        f.IsoleFiches(std::move(l));
    }

    std::string Fichier(const char* nom) const { return dirM.path().toStdString() + "/" + nom; }

    QTemporaryDir dirU, dirP, dirM;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace

TEST_F(Commandes, SelectionDeDeuxCavitesDUnSysteme)
{
    // Nothing to widen before any selection.
    EXPECT_FALSE(TForm1(dirU.path().toStdString() + "/", dirP.path().toStdString() + "/").Rcuprer1->isEnabled());
    auto f = Cree();
    Fiches(*f, {{{"Causse", "Aven", "Amont", "P1"}},
                {{"Causse", "Grotte", "Aval", "P2"}},
                {{"Autre", "Aven", "Amont", "P1"}},
                {{"Causse", "Aven", "Amont", "P3"}},
                {{"Causse", "Grotte", "Amont", "P1"}}});
    // Found in another order than the massif's: the selection is sorted.
    Isole(*f, {4, 0});
    EXPECT_TRUE(f->Massif->SelectionActive);
    EXPECT_EQ(f->Massif->FichesCourantes, f->Massif->Selection.get());
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 5}));
    EXPECT_EQ(f->Panneaux[0]->text(), QStringLiteral("Sélection"));
    EXPECT_TRUE(f->Rcuprer1->isEnabled());

    // Two caves of one system: each level compares its own name only, so the network
    // "Amont" and the place "P1" common to both sheets are offered.
    f->Rcuprer1->menu()->aboutToShow();
    EXPECT_TRUE(f->Systme3->isEnabled());
    EXPECT_FALSE(f->Cavit3->isEnabled());
    EXPECT_TRUE(f->Rseau3->isEnabled());
    EXPECT_TRUE(f->Lieu3->isEnabled());
    EXPECT_TRUE(f->Tout1->isEnabled());

    // Widened to the system: every sheet of it, in the massif's order; still a selection.
    f->Massif->DimensionsAJour = true;
    f->Systme3->trigger();
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 2, 4, 5}));
    EXPECT_EQ(f->Massif->FichesCourantes, f->Massif->Selection.get());
    EXPECT_TRUE(f->Massif->SelectionActive);
    EXPECT_FALSE(f->Massif->DimensionsAJour);
    EXPECT_EQ(f->Panneaux[0]->text(), QStringLiteral("Sélection"));

    // Narrowed again to one sheet, then widened to its cave: every sheet whose cave bears
    // that name, the cave of the same name in another system included.
    Isole(*f, {3});
    f->Rcuprer1->menu()->aboutToShow();
    EXPECT_TRUE(f->Cavit3->isEnabled());
    f->Cavit3->trigger();
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 3, 4}));
    f->Rcuprer1->menu()->aboutToShow();
    EXPECT_FALSE(f->Systme3->isEnabled());
    EXPECT_TRUE(f->Rseau3->isEnabled());
    EXPECT_FALSE(f->Lieu3->isEnabled());
    f->Rseau3->trigger();
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 3, 4, 5}));
    // The same place name in two systems: the place is offered, the system is not.
    Isole(*f, {0, 2});
    f->Rcuprer1->menu()->aboutToShow();
    EXPECT_FALSE(f->Systme3->isEnabled());
    for (QAction* a : {f->Cavit3, f->Rseau3, f->Lieu3})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    f->Lieu3->trigger();
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 3, 5}));

    // "Tout": every sheet again, the panel empty, "Récupérer" off.
    f->Tout1->trigger();
    EXPECT_FALSE(f->Massif->SelectionActive);
    EXPECT_EQ(f->Massif->Selection, nullptr);
    EXPECT_EQ(f->Massif->FichesCourantes, &f->Massif->Fiches);
    EXPECT_TRUE(f->Panneaux[0]->text().isEmpty());
    EXPECT_FALSE(f->Rcuprer1->isEnabled());
    // Without a selection, or with an empty one, no level is offered; reached anyway, the
    // widening leaves no selection, or keeps it empty rather than failing.
    for (bool vide : {false, true}) {
        if (vide)
            Isole(*f, {});
        f->Rcuprer1->menu()->aboutToShow();
        for (QAction* a : {f->Systme3, f->Cavit3, f->Rseau3, f->Lieu3})
            EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        f->Systme3Click(1);
        EXPECT_EQ(f->Massif->Selection ? int(f->Massif->Selection->size()) : -1, vide ? 0 : -1);
    }
}

TEST_F(Commandes, ImportVisualTopoPuisFichierRefuse)
{
    auto f = Cree(true);
    f->Massif->DimensionsAJour = true;
    invite.fichiers = {QString::fromStdString(std::string(KARST_TEST_DATA) + "/visualtopo_v5.tro")};
    f->VisualTopo1->trigger();
    ASSERT_EQ(invite.dialoguesFichier.size(), 1u);
    EXPECT_EQ(invite.dialoguesFichier[0].filtre, QStringLiteral("Fichier VisualTopo (*.tro)|*.tro"));
    EXPECT_EQ(invite.dialoguesFichier[0].extensionDefaut, QStringLiteral("tro"));
    const std::size_t fiches = f->Massif->Fiches.size();
    EXPECT_GT(fiches, 0u);
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Massif->DimensionsAJour);
    // "Automatique" is ticked: the quick computation is asked for.
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    EXPECT_TRUE(f->Panneaux[0]->text().isEmpty());
    f->Depart_Calcul_Rapide->stop();

    // A refused file leaves the massif as it was, unmodified and not recomputed.
    const std::string faux = Fichier("faux.tro");
    std::ofstream(faux, std::ios::binary) << "pas un fichier\r\n";
    f->Massif->Enregistre = true;
    invite.messages.clear();
    invite.fichiers = {QString::fromStdString(faux)};
    f->VisualTopo1->trigger();
    EXPECT_EQ(f->Massif->Fiches.size(), fiches);
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().icone, Icone::Erreur);
    // A pipe is refused at once by either import, as a model and as an input layout.
    for (const auto& [nom, commande] : {std::pair{"t.tro", f->VisualTopo1},
                                        {"t.tab", f->Importtoporobot1},
                                        {"t.pla", f->Ouvrirmodle1},
                                        {"t.sai", f->Ouvrirmodle1}}) {
        const std::string tube = Fichier(nom);
        ::mkfifo(tube.c_str(), 0600);
        const int fd = ::open(tube.c_str(), O_RDWR);  // a reader's open then never waits
        invite.fichiers = {QString::fromStdString(tube)};
        commande->trigger();
        ASSERT_FALSE(invite.Textes().isEmpty());
        EXPECT_EQ(invite.Textes().back(),
                  QString::fromStdString(tube + " est un tube ou un périphérique, et non un fichier."));
        // So is it by the massif's own load, whichever path reaches it.
        TMassif m;
        m.NomFichier = tube.substr(0, tube.size() - 3) + (nom[2] == 'r' ? "mas" : "fic");
        ::rename(tube.c_str(), m.NomFichier.c_str());
        EXPECT_EQ(m.Charge().message, m.NomFichier + " est un tube ou un périphérique, et non un fichier.");
        ::close(fd);
    }

    // Cancelled: nothing asked of the importer.
    invite.messages.clear();
    invite.fichiers = {std::nullopt};
    f->Importtoporobot1->trigger();
    EXPECT_EQ(invite.dialoguesFichier.back().filtre, QStringLiteral("Fichier TopoRobot (*.Tab)|*.Tab"));
    EXPECT_TRUE(invite.messages.empty());
    EXPECT_TRUE(f->Massif->Enregistre);

    // "Automatique" off, over a selection: nothing computed; the selection stays named in the
    // status bar.
    f->Automatique1->setChecked(false);
    Isole(*f, {0});
    invite.fichiers = {QString::fromStdString(std::string(KARST_TEST_DATA) + "/visualtopo_v5.tro")};
    f->VisualTopo1->trigger();
    EXPECT_GT(f->Massif->Fiches.size(), fiches);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    EXPECT_EQ(f->Panneaux[0]->text(), QStringLiteral("Sélection"));

    // A computation running meanwhile is stopped and started again.
    CalculEnCours = true;
    f->DemandeCalcul();
    EXPECT_TRUE(ArretCalcul);
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    f->Depart_Calcul_Rapide->stop();
}

TEST_F(Commandes, ExportsParDessusUnFichier)
{
    auto f = Cree();
    Fiches(*f, {{{"S", "C", "R", "L"}}});
    auto ref = std::make_unique<TPointTopo>();
    ref->Nom.Affecte("E");
    f->Massif->AjouteReference(std::move(ref));
    const std::string cible = Fichier("sortie.tab");
    std::ofstream(cible, std::ios::binary) << "ancien";

    // No: the file is kept, nothing else is said. Yes: written, then said.
    for (const Bouton b : {Bouton::Non, Bouton::Oui}) {
        invite.messages.clear();
        invite.fichiers = {QString::fromStdString(cible)};
        invite.reponses = {b};
        f->Exporttoporobot1->trigger();
        EXPECT_EQ(Contenu(cible) == "ancien", b == Bouton::Non);
        ASSERT_EQ(invite.messages.size(), b == Bouton::Non ? 1u : 2u);
        EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Le fichier sortie.tab existe déjà.\rEcrire par dessus?"));
        EXPECT_EQ(invite.messages[0].icone, Icone::Avertissement);
        EXPECT_EQ(invite.messages[0].boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::Non}));
    }
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Exportation terminée"));

    // VRML without a perspective window.
    invite.messages.clear();
    f->ExportVRML1->trigger();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Vous devez activer la perspective pour exporter en VRML.")});
}

// "Automatique" off: the plot file of a massif just opened holds every shot of the survey,
// computed for it, with no question for a new file; a file that cannot be written is
// reported as such, not as exported.
TEST_F(Commandes, TraceDUnMassifOuvertSansCalcul)
{
    auto f = Cree(false);
    ASSERT_TRUE(f->OuvreMassif(std::string(KARST_EXAMPLES) + "/pierrefeu.fic"));
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    std::size_t galeries = 0, visees = 0;
    for (const TFiche* fi : f->Massif->Fiches)
        for (const TGalerie* g : fi->Galeries) {
            ++galeries;
            visees += g->NbVisees;
        }
    const std::string plt = Fichier("pierrefeu.plt");
    invite.fichiers = {QString::fromStdString(plt)};
    f->PLT1->trigger();
    ASSERT_FALSE(invite.dialoguesFichier.empty());
    EXPECT_EQ(invite.dialoguesFichier.back().filtre, QStringLiteral("Fichier HPGL (*.plt)|*.plt"));
    // The dialog opens beside the massif, the next one where this one went.
    EXPECT_EQ(invite.dialoguesFichier.back().dossier, QStringLiteral(KARST_EXAMPLES));
    EXPECT_TRUE(fs::exists(plt));
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Exportation terminée")});
    const QStringList lignes = QString::fromStdString(Contenu(plt)).split(QLatin1Char('\n'));
    EXPECT_FALSE(lignes.contains(QStringLiteral("X 0.00 0.00 0.00 0.00 0.00 0.00\r")));
    EXPECT_EQ(static_cast<std::size_t>(lignes.filter(QRegularExpression(QStringLiteral("^M "))).size()), galeries);
    const auto d = static_cast<std::size_t>(lignes.filter(QRegularExpression(QStringLiteral("^D "))).size());
    EXPECT_EQ(d, visees);
    EXPECT_GT(d, 200u);
    // Read as every plot viewer reads it: northing, easting, vertical, in feet.
    const TFiche* fiche = nullptr;
    for (const QString& l : lignes) {
        const QStringList m = l.trimmed().split(QLatin1Char(' '));
        if (m[0].startsWith(QLatin1String("NT")))
            fiche = f->Massif->Fiches[m[0].mid(2).toUInt()];
        if (m[0] != QLatin1String("D"))
            continue;
        const QStringList nom = m[4].mid(1).split(QLatin1Char('.'));
        const TStation& s = fiche->Galeries[nom[0].toUInt()]->Station(nom[1].toInt());
        const double n = m[1].toDouble() * 0.3048, e = m[2].toDouble() * 0.3048, z = m[3].toDouble() * 0.3048;
        EXPECT_LT(std::hypot(n - s.Y, e - s.X, z - s.Z), 0.01) << l.toStdString();
    }

    invite.messages.clear();
    invite.fichiers = {QString::fromStdString(Fichier("absent/dossier/x.plt"))};
    f->PLT1->trigger();
    EXPECT_EQ(invite.dialoguesFichier.back().dossier, QString::fromStdString(fs::path(plt).parent_path().string()));
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].icone, Icone::Erreur);

    // A run the caver asked for ends as the plot file is written: its report waits for the end.
    PiloteModalInstalle deformation([](QDialog&) { return 0; });
    ClicOutil(f->ToolBar1, f->BoutonCalculer);
    f->Depart_Calcul_RapideTimer();
    invite.fichiers = {QString::fromStdString(plt)};
    invite.reponses = {Bouton::Oui};
    f->PLT1->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return invite.Textes().join('|').contains(QStringLiteral("terminée|0.")); }));
}

TEST_F(Commandes, OrdreDuTableau)
{
    auto f = Cree();
    EXPECT_EQ(f->Contexte().OrdreTableau(), TriTableau::OrdreDeSaisie);
    f->Massif->DimensionsAJour = true;
    f->Date1->trigger();
    EXPECT_TRUE(f->Date1->isChecked());
    EXPECT_FALSE(f->Ordredesaisie1->isChecked());
    EXPECT_FALSE(f->Massif->DimensionsAJour);
    EXPECT_EQ(f->Contexte().OrdreTableau(), TriTableau::Date);
    // Chosen again, the item stays ticked.
    f->Date1->trigger();
    EXPECT_TRUE(f->Date1->isChecked());
    f->Localisation1->trigger();
    EXPECT_EQ(f->Contexte().OrdreTableau(), TriTableau::Localisation);

    // The options: cancelled, the dimensions stand; accepted, they are to be made again.
    f->Massif->DimensionsAJour = true;
    {
        PiloteModalInstalle p([](QDialog&) { return int(QDialog::Rejected); });
        EXPECT_FALSE(f->ModifieOptions(GenreVue::Tableau));
    }
    EXPECT_TRUE(f->Massif->DimensionsAJour);
    {
        PiloteModalInstalle p([](QDialog&) { return int(QDialog::Accepted); });
        f->Tableau2->trigger();
        EXPECT_TRUE(f->ModifieOptions(GenreVue::Plan));
    }
    EXPECT_FALSE(f->Massif->DimensionsAJour);
}

TEST_F(Commandes, InfoBulles)
{
    auto f = Cree();
    bool grises = false;
    {
        // "Visées" and "Ne rien afficher" ticked, then confirmed.
        PiloteModalInstalle p([&](QDialog& d) {
            auto& b = dynamic_cast<TDef_Bulles&>(d);
            b.CheckBox3->click();
            b.Global->click();
            grises = !b.CheckBox1->isEnabled();
            b.Button1->click();
            return d.result();
        });
        f->Bulle1->trigger();
    }
    EXPECT_TRUE(grises);
    EXPECT_TRUE(f->BulleAucune);
    EXPECT_TRUE(f->BulleVisees);
    EXPECT_TRUE(f->BulleCommentaires);
    EXPECT_FALSE(f->BulleCoordonnees);
    EXPECT_TRUE(f->Contexte().Bulles().Visees);
    {
        // Cancelled: nothing changes.
        PiloteModalInstalle p([](QDialog& d) {
            auto& b = dynamic_cast<TDef_Bulles&>(d);
            b.Global->click();
            b.CheckBox2->click();
            return int(QDialog::Rejected);
        });
        f->Bulle1->trigger();
    }
    EXPECT_TRUE(f->BulleAucune);
    EXPECT_TRUE(f->BulleCommentaires);
}

TEST_F(Commandes, ModelePlanTourneLaFenetreDuPlan)
{
    auto f = Cree(false);
    f->resize(1200, 900);
    f->OuvreVue(GenreVue::Plan);
    TAfficheur* plan = f->Afficheur(GenreVue::Plan);
    ASSERT_NE(plan, nullptr);
    ASSERT_NE(plan->Graphique, nullptr);
    auto& vue = static_cast<TPlan&>(*plan->Graphique);

    const std::string base = Fichier("tourne");
    TOptions_Plan o;
    o.Angle = 30.0L;
    o.Sauve(base + ".pla");
    // Typed without an extension, the plan entry of the filter chosen.
    invite.fichiers = {QString::fromStdString(base)};
    invite.indexFiltres = {2};
    f->Ouvrirmodle1Click();
    EXPECT_TRUE(invite.messages.empty()) << invite.Textes().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(static_cast<long double>(f->OptionsPlan.Angle), 30.0L);
    EXPECT_DOUBLE_EQ(vue.Angle, 30.0);
    EXPECT_DOUBLE_EQ(vue.SinAngle, 0.5);

    // A perspective model with no perspective window only changes the options.
    TOptions_Relief r;
    r.Angle_Horizontal = 120.0L;
    r.Sauve(base + ".per");
    invite.fichiers = {QString::fromStdString(base + ".per")};
    f->Ouvrirmodle1Click();
    EXPECT_EQ(static_cast<long double>(f->OptionsRelief.Angle_Horizontal), 120.0L);
    EXPECT_DOUBLE_EQ(vue.Angle, 30.0);
}

namespace {

// Works the modal windows by name: each gives the window's result.
class Fenetres {
public:
    std::map<QString, std::function<int(QDialog&)>> actions;
    QStringList montrees;
    Fenetres()
        : pilote_([this](QDialog& d) {
              montrees << d.objectName();
              auto it = actions.find(d.objectName());
              return it == actions.end() ? int(QDialog::Rejected) : it->second(d);
          })
    {}

private:
    PiloteModalInstalle pilote_;
};

int Clique(QDialog& d, const char* bouton)
{
    d.findChild<QPushButton*>(QString::fromLatin1(bouton))->click();
    return d.result();
}

}  // namespace

TEST_F(Commandes, RechercherEtIsolerUneFiche)
{
    auto f = Cree();
    std::vector<std::pair<TFiche*, int>> editees;
    Saisie().EditeFiche = [&](TFiche* fi, int g, const Adresse*, unsigned) { editees.emplace_back(fi, g); };
    Fenetres w;
    w.actions["BaseRecherche"] = [](QDialog& d) { return Clique(d, "Button1"); };
    w.actions["RechSimp"] = [](QDialog& d) { return Clique(d, "Button2"); };
    w.actions["RechMulti"] = [](QDialog& q) {
        auto& d = dynamic_cast<TRechMulti&>(q);
        EXPECT_EQ(d.DstList->count(), 0);
        d.SrcList->item(2)->setSelected(true);
        d.SrcList->item(0)->setSelected(true);
        QTest::mouseClick(d.IncludeBtn, Qt::LeftButton);
        return Clique(d, "OkBtn");
    };

    f->Ficheconnue1->trigger();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Il n'y a pas de fiches.")});
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].icone, Icone::Avertissement);
    EXPECT_TRUE(w.montrees.isEmpty());
    Fiches(*f, {{{"A", "C", "R", "L"}}, {{"B", "C", "R", "L"}}, {{"C", "C", "R", "L"}}});
    // Not while a computation runs.
    CalculEnCours = true;
    f->Slection1->trigger();
    EXPECT_TRUE(w.montrees.isEmpty());
    CalculEnCours = false;

    f->Slection1->trigger();
    ASSERT_NE(f->Massif->Selection, nullptr);
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(f->Massif->FichesCourantes, f->Massif->Selection.get());
    EXPECT_EQ(f->Panneaux[0]->text(), QStringLiteral("Sélection"));
    EXPECT_TRUE(f->Rcuprer1->isEnabled());

    // Cancelled: the selection in force stays, and was not offered as already chosen.
    w.actions["RechMulti"] = [](QDialog& q) {
        EXPECT_EQ(dynamic_cast<TRechMulti&>(q).DstList->count(), 0);
        return Clique(q, "CancelBtn");
    };
    f->Slection1->trigger();
    EXPECT_EQ(Ordres(*f->Massif->Selection), (std::vector<int32_t>{1, 3}));
    EXPECT_TRUE(f->Massif->SelectionActive);

    // Within a selection, the search walks the selection, sorted.
    Isole(*f, {2, 1});
    w.montrees.clear();
    f->BoutonRechercher->trigger();
    EXPECT_EQ(w.montrees, (QStringList{QStringLiteral("BaseRecherche"), QStringLiteral("RechSimp")}));
    ASSERT_EQ(editees.size(), 1u);
    EXPECT_EQ(editees[0].first, f->Massif->Fiches[1]);
    EXPECT_EQ(editees[0].second, -1);

    // Cancelled: the editor is not opened.
    w.actions["RechSimp"] = [](QDialog&) { return int(QDialog::Rejected); };
    f->Ficheconnue1->trigger();
    EXPECT_EQ(editees.size(), 1u);
    Saisie().EditeFiche = nullptr;
}

TEST_F(Commandes, DeclinaisonsEtReferences)
{
    auto f = Cree(true);
    Fenetres w;
    // Cancelled: nothing changes, nothing is computed.
    f->Dclinaison1->trigger();
    EXPECT_EQ(w.montrees, QStringList{QStringLiteral("DeclinaisonDefaut")});
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());

    w.actions["DeclinaisonDefaut"] = [](QDialog& q) {
        auto& d = dynamic_cast<TDeclinaisonDefaut&>(q);
        d.Edit1->setText(QStringLiteral("2.5"));
        return Clique(d, "Button1");
    };
    f->BoutonDeclinaison->trigger();
    EXPECT_EQ(static_cast<long double>(f->Massif->Origine_Declinaison), 2.5L);
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    f->Depart_Calcul_Rapide->stop();

    // References of a massif without sheets: nothing to compute.
    f->Massif->Enregistre = true;
    int point = 0;
    w.actions["Reference"] = [&point](QDialog& q) {
        const QStringList cellules{QStringLiteral("P%1").arg(++point), "1", "600", "2000", "100"};
        for (int c = 0; c < cellules.size(); ++c)
            dynamic_cast<TReference&>(q).StringGrid1->setItem(0, c, new QTableWidgetItem(cellules[c]));
        return Clique(q, "Button1");
    };
    f->Pointsderfrence1->trigger();
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());
    Fiches(*f, {{{"A", "C", "R", "L"}}});
    f->BoutonReferences->trigger();
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    f->Depart_Calcul_Rapide->stop();
    // Confirmed unchanged: not modified, nothing computed.
    f->Massif->Enregistre = true;
    w.actions["Reference"] = [](QDialog& d) { return Clique(d, "Button1"); };
    f->Pointsderfrence1->trigger();
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Depart_Calcul_Rapide->isActive());

    // A trip of 2007 asking for the automatic declination, its own field 0.8 gr, in a new massif:
    // Oui opens "Déclinaisons", cancelled there it asks again, and Annuler imports nothing; Non
    // imports the file's field alone; Oui then Enregistrer, the model's value.
    f = Cree(true);
    const std::string tab = Fichier("auto.tab");
    std::ofstream(tab, std::ios::binary)
        << "-6\t1\tG\r-5\t1\t0\t0\t0\t1\t0\r-2\t1\t01\t07\t07\tA\tB\t1\t0.80\r-1\t1\t360\t360\r\r"
           "1\t-1\t1\t0\t1\t1\t1\r1\t0\t1\t1\t0\t0\t0\r1\t1\t1\t1\t10\t0\t0\r";
    int fois = 0;
    w.actions["DeclinaisonDefaut"] = [&fois](QDialog& q) {
        dynamic_cast<TDeclinaisonDefaut&>(q).Edit1->setText(QStringLiteral("2.5"));
        return Clique(q, ++fois == 1 ? "Button2" : "Button1");
    };
    invite.messages.clear();
    invite.reponses = {Bouton::Oui, Bouton::Annuler, Bouton::Non, Bouton::Oui};
    for (const std::size_t fiches : {0u, 1u, 2u}) {
        invite.fichiers = {QString::fromStdString(tab)};
        f->Importtoporobot1->trigger();
        EXPECT_EQ(f->Massif->Fiches.size(), fiches);
        EXPECT_EQ(f->Massif->References.empty(), fiches == 0);
        EXPECT_EQ(f->Massif->Enregistre, fiches == 0);
        EXPECT_TRUE(f->Panneaux[0]->text().isEmpty());
    }
    ASSERT_EQ(invite.Textes().size(), 4);
    EXPECT_EQ(invite.Textes()[3],
              QStringLiteral("La séance 1 (01/07/07) du fichier demande la déclinaison automatique, "
                             "mais le modèle de déclinaison du massif n'est pas réglé.\rOui : "
                             "régler le modèle (Données > Déclinaisons), puis importer.\rNon : "
                             "importer avec la seule déclinaison que donne le fichier.\rAnnuler : "
                             "ne rien importer."));
    // 2007.5 is 27.5 years after the model's 1980, at 1° a year from 2.5°.
    EXPECT_NEAR(f->Massif->Fiches[0]->Declinaison, 0.8, 1e-6);
    EXPECT_NEAR(f->Massif->Fiches[1]->Declinaison, (2.5 - 27.5) / 0.9 + 0.8, 1e-5);
}

TEST_F(Commandes, LesVuesChoisissentUneGalerie)
{
    auto f = Cree();
    Fiches(*f, {{{"A", "C", "R", "L"}}, {{"B", "C", "R", "L"}}});
    Isole(*f, {1});
    Fenetres w;
    QString systemeDemande;
    w.actions["BaseRecherche"] = [&](QDialog& d) {
        systemeDemande = d.findChild<QLineEdit*>(QStringLiteral("Systeme"))->text();
        return Clique(d, "Button1");
    };
    int mode = 0, lignes = 0;
    w.actions["RechSimp"] = [&](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        mode = d.Mode;
        lignes = d.StringGrid1->rowCount();
        return int(QDialog::Rejected);
    };
    // Over every sheet of the massif, whatever the selection, in the list that shows
    // the sheet's galleries to pick one.
    TFiche* fiche = nullptr;
    int galerie = 5;
    EXPECT_FALSE(f->Contexte().ChoisitGalerie(fiche, galerie));
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(lignes, 2);
    w.actions["RechSimp"] = [](QDialog& d) { return Clique(d, "Button2"); };
    // The explorer's search takes its place texts as criteria.
    ListeFiches liste{f->Massif->Fiches[1]};
    int choisie = 0;
    ASSERT_TRUE(Saisie().RechercheSimple(liste, {"B", "", "", ""}, "", -1, fiche, choisie));
    EXPECT_EQ(systemeDemande, QStringLiteral("B"));
    EXPECT_EQ(fiche, f->Massif->Fiches[1]);
    EXPECT_EQ(choisie, -1);
}

TEST_F(Commandes, BullesDesBoutonsSansEtiquettes)
{
    auto f = Cree();
    f->show();
    auto* bouton = qobject_cast<QToolButton*>(f->ToolBar1->widgetForAction(f->BoutonOuvrir));
    ASSERT_NE(bouton, nullptr);
    auto bulle = [&] {
        QToolTip::hideText();
        QHelpEvent e(QEvent::ToolTip, QPoint(2, 2), bouton->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(bouton, &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // Captions shown: no hint; hidden: the hint.
    ASSERT_TRUE(f->Etiquettestexte1->isChecked());
    EXPECT_EQ(bulle(), QString());
    f->Etiquettestexte1->trigger();
    EXPECT_EQ(f->ToolBar3->height(), 35);
    EXPECT_EQ(bouton->height(), 30);
    EXPECT_EQ(bulle(), QStringLiteral("Ouvrir"));
    QToolTip::hideText();
    f->hide();
}

namespace {

// The letters shared by two controls the user sees at once in the window, one line each.
QStringList LettresPartagees(QWidget& fenetre)
{
    std::map<QKeySequence, QStringList> lettres;
    auto note = [&](const QString& texte) {
        if (const QKeySequence c = QKeySequence::mnemonic(texte); !c.isEmpty())
            lettres[c] << texte;
    };
    for (QWidget* w : fenetre.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&fenetre) || w->window() != &fenetre)
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            note(b->text());
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            note(l->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            note(g->title());
        else if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                note(t->tabText(i));
        else if (auto* m = qobject_cast<QMenuBar*>(w))
            for (QAction* a : m->actions())
                if (a->isVisible())
                    note(a->text());
    }
    QStringList r;
    const auto partagees = [&](const QString& ou) {
        for (const auto& [c, textes] : lettres)
            if (textes.size() > 1)
                r << ou + QStringLiteral(" [") + c.toString() + QStringLiteral("]: ") +
                         textes.join(QStringLiteral(" | "));
    };
    partagees(fenetre.windowTitle());
    // Each menu of the window is a list of its own.
    for (QMenu* m : fenetre.findChildren<QMenu*>()) {
        lettres.clear();
        for (QAction* a : m->actions())
            if (a->isVisible() && !a->isSeparator())
                note(a->text());
        partagees(fenetre.windowTitle() + QStringLiteral(" / ") + m->title());
    }
    return r;
}

// One window of each of these types, given in turn.
template <class... Fenetre, class F>
void Chacune(const F& f)
{
    (f(Fenetre()), ...);
}

// The same for every page of the window's tabs and stacks, one page at a time.
void VerifieLettres(QWidget& fenetre, QStringList& fautes)
{
    fautes << LettresPartagees(fenetre);
    for (QStackedWidget* s : fenetre.findChildren<QStackedWidget*>()) {
        if (!s->isVisibleTo(&fenetre))
            continue;
        const int avant = s->currentIndex();
        for (int i = 0; i < s->count(); ++i) {
            s->setCurrentIndex(i);
            fautes << LettresPartagees(fenetre);
        }
        s->setCurrentIndex(avant);
    }
    fautes.removeDuplicates();
}

}  // namespace

// Every window the menus open, and every dialog their "..." buttons open in turn: no
// letter serves two controls shown together, so Alt+letter always reaches the one named.
TEST_F(Commandes, AucuneLettreDeRaccourciPartagee)
{
    auto f = Cree(false);
    ASSERT_TRUE(f->OuvreMassif(KARST_EXAMPLES "/pierrefeu.fic"));
    HoteExplorateurForm1 hote(*f);
    f->Depart_Calcul_Rapide->stop();
    f->show();
    invite.reponses.assign(1000, Bouton::Aucun);
    QStringList fautes;
    std::set<QString> vus;
    int profondeur = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        const QString nom = QString::fromLatin1(d.metaObject()->className()) + d.objectName() + d.windowTitle();
        if (profondeur > 2 || !vus.insert(nom).second)
            return int(QDialog::Rejected);
        ++profondeur;
        d.show();
        QApplication::processEvents();
        VerifieLettres(d, fautes);
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text().endsWith(QStringLiteral("...")) && b->isVisibleTo(&d) && b->isEnabled())
                b->click();
        d.hide();
        --profondeur;
        return int(QDialog::Rejected);
    });
    // Commands that would end the session, wait on a computation or save over the sample are left out.
    const QStringList exclues =
        QStringLiteral("Quitter1 Fermer1 Nouveau1 Ouvrir1 Enregistrer1 N110 N210 N31 Calcul1 Calculrapide1")
            .split(QLatin1Char(' '));
    std::function<void(QMenu*)> parcourt = [&](QMenu* m) {
        emit m->aboutToShow();
        for (QAction* a : m->actions()) {
            if (a->menu())
                parcourt(a->menu());
            else if (a->isEnabled() && !a->isSeparator() && !exclues.contains(a->objectName()))
                a->trigger();
            QApplication::processEvents();
        }
    };
    for (QAction* vue : {f->Explorateur1, f->Plan1, f->Coupe1, f->Relief1, f->Tableau1}) {
        vue->trigger();
        QApplication::processEvents();
        for (QAction* a : f->menuBar()->actions())
            if (a->menu())
                parcourt(a->menu());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !qobject_cast<QMenu*>(w))
                VerifieLettres(*w, fautes);
    }
    // The dialogs the menus reach only through a search, a view's mouse or the 3D mode.
    const auto seule = [&](QWidget&& w) {
        w.show();
        QApplication::processEvents();
        VerifieLettres(w, fautes);
        vus.insert(QString::fromLatin1(w.metaObject()->className()));
        w.hide();
    };
    seule(TArret(*f));
    seule(TNouveaute(hote));
    seule(TOutils_3D(*f));
    seule(TPoint_Topo(f->Recherche()));
    Chacune<TApercu, TComplement_Calcul, TCorrection, TDlg_SVG, TEvolution, TImportationExcel, TInformations,
            TLaRotation, TLacunes, TNvlle_Branche, TRechMulti, TRechSimp>(seule);
    EXPECT_GE(vus.size(), 34u);
    EXPECT_EQ(fautes.join(QLatin1Char('\n')).toStdString(), "");
    f->hide();
}
