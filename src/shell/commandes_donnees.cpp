// Data, selection and exchange commands of the main window: imports and exports of the
// massif, the VRML export, the working selection of sheets ("Isoler", "Récupérer") and the
// table's sort order.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <exception>

#include "calcul/drapeaux.h"
#include "dialogs/messages_communs.h"
#include "exchange/echange.h"
#include "formulaires/dlg_vrml.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

const char* const kFiltreToporobot = "Fichier TopoRobot (*.Tab)|*.Tab";
const char* const kFiltreVisualTopo = "Fichier VisualTopo (*.tro)|*.tro";
const char* const kFiltrePlt = "Fichier HPGL (*.plt)|*.plt";

// What the importers show: the first status panel and message boxes.
class RapportForm1 : public TRapportEchange {
public:
    explicit RapportForm1(TForm1& f) : f_(f) {}
    void Statut(const std::string& texte) override { f_.Panneaux[0]->setText(QString::fromUtf8(texte)); }
    void Message(const std::string& texte) override { Invite().Information(QString::fromUtf8(texte)); }
    void Avertissement(const std::string& texte) override { Invite().Avertissement(QString::fromUtf8(texte)); }
    // Oui opens "Déclinaisons" and asks again until the model is set or another answer given.
    ChoixDeclinaison DeclinaisonNonReglee(const std::string& texte) override
    {
        // The import's hourglass is not the caver's while the caver is asked.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const QString question = QString::fromUtf8(texte) +
                                 QStringLiteral("\rOui : régler le modèle (Données > Déclinaisons), puis importer."
                                                "\rNon : importer avec la seule déclinaison que donne le fichier."
                                                "\rAnnuler : ne rien importer.");
        ChoixDeclinaison choix = ChoixDeclinaison::Annule;
        for (;;) {
            const Bouton b =
                Invite().Message(question, Icone::Confirmation, {Bouton::Oui, Bouton::Non, Bouton::Annuler});
            if (b == Bouton::Non)
                choix = ChoixDeclinaison::Fichier;
            if (b != Bouton::Oui)
                break;
            f_.Dclinaison1Click();
            if (f_.Massif && f_.Massif->DeclinaisonReglee()) {
                choix = ChoixDeclinaison::Modele;
                break;
            }
        }
        QApplication::restoreOverrideCursor();
        return choix;
    }

    // Non, the default, imports nothing: letters are lost only when the caver says so.
    bool CaracteresPerdus(const std::string& texte) override
    {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const bool garde = Invite().ConfirmePerte(
            QString::fromUtf8(texte) + QStringLiteral("\rOui : importer ainsi.\rNon : ne rien importer."),
            Icone::Confirmation, {Bouton::Oui, Bouton::Non});
        QApplication::restoreOverrideCursor();
        return garde;
    }

private:
    TForm1& f_;
};

// Two sheets share the name of that level (1 system, 2 cave, 3 network, 4 place); as
// "Isoler" does, only that level's name counts.
bool MemeDossier(const TFiche& a, const TFiche& b, int niveau)
{
    const TEco TFiche::*parties[4] = {&TFiche::Systeme, &TFiche::Cavite, &TFiche::Reseau, &TFiche::Lieu};
    if (niveau < 1 || niveau > 4)
        return false;
    return (a.*parties[niveau - 1]).Egal(b.*parties[niveau - 1]);
}

}  // namespace

TAfficheur* TForm1::Afficheur(GenreVue genre) const
{
    const QPointer<QWidget>* champs[4] = {&VuePlan, &VueCoupe, &VuePerspective, &VueTableau};
    return qobject_cast<TAfficheur*>(champs[static_cast<int>(genre)]->data());
}

void TForm1::DemandeCalcul(bool automatique)
{
    const bool relance = (automatique && Automatique1->isChecked()) || CalculEnCours;
    if (!relance)
        return;
    if (CalculEnCours)
        ArretCalcul = true;
    // The timer retries until the running computation has ended.
    if (Calculrapide1->property("disponible").toBool())
        Depart_Calcul_Rapide->start();
}

void TForm1::DemandeMiseAJourExploreur(bool memeReduite)
{
    if (!FenetreExploreur)
        return;
    QWidget* cadre = FenetreExploreur->parentWidget();
    const bool reduite =
        cadre && cadre->inherits("QMdiSubWindow") ? cadre->isMinimized() : FenetreExploreur->isMinimized();
    if (memeReduite || !reduite)
        QMetaObject::invokeMethod(FenetreExploreur, "DemandeMiseAJour");
}

void TForm1::construitCommandes()
{
    for (QAction* a :
         {Importtoporobot1, VisualTopo1, Exporttoporobot1, PLT1, ExportVRML1, Tout1, Systme3, Cavit3, Rseau3, Lieu3,
          Ordredesaisie1, Localisation1, Date1, Bulle1, Plan2, Coupe2, Perspective1, Tableau2})
        DeclareCommande(a);
    connect(Importtoporobot1, &QAction::triggered, this, &TForm1::Importtoporobot1Click);
    connect(VisualTopo1, &QAction::triggered, this, &TForm1::VisualTopo1Click);
    connect(Exporttoporobot1, &QAction::triggered, this, &TForm1::Exporttoporobot1Click);
    connect(PLT1, &QAction::triggered, this, &TForm1::PLT1Click);
    connect(ExportVRML1, &QAction::triggered, this, &TForm1::ExportVRML1Click);
    // Off until a selection is made.
    Rcuprer1->setEnabled(false);
    if (QMenu* recuperer = Rcuprer1->menu())
        connect(recuperer, &QMenu::aboutToShow, this, &TForm1::Rcuprer1Click);
    connect(Tout1, &QAction::triggered, this, &TForm1::Tout1Click);
    const QAction* niveaux[4] = {Systme3, Cavit3, Rseau3, Lieu3};
    for (int i = 0; i < 4; ++i)
        connect(niveaux[i], &QAction::triggered, this, [this, i] { Systme3Click(i + 1); });
    for (QAction* a : {Ordredesaisie1, Localisation1, Date1})
        connect(a, &QAction::triggered, this, [this, a] { TrieTableau(a); });

    connect(Bulle1, &QAction::triggered, this, &TForm1::Bulle1Click);
    const std::pair<const QAction*, GenreVue> options[4] = {{Plan2, GenreVue::Plan},
                                                            {Coupe2, GenreVue::Coupe},
                                                            {Perspective1, GenreVue::Perspective},
                                                            {Tableau2, GenreVue::Tableau}};
    for (const auto& option : options) {
        const GenreVue genre = option.second;
        connect(option.first, &QAction::triggered, this, [this, genre] { ModifieOptions(genre); });
    }
    connect(this, &TForm1::ModeleCharge, this, &TForm1::AppliqueModele);
    installeSuiviBandes();
    construitRecherches();
}

// ---- exchange ----

namespace {

// Runs an importer on the chosen file; the massif is left as it was when the file is refused.
template <class Importeur>
void Importe(TForm1& f, const char* filtre, const char* extension, Importeur importeur)
{
    if (!f.Massif)
        return;
    DialogueFichier d{QString(), QString::fromUtf8(filtre), QString::fromLatin1(extension), QString(), 1, {}};
    if (!Invite().Ouvrir(d))
        return;
    RapportForm1 rapport(f);
    auto statut = [&f] { f.Panneaux[0]->setText(f.Massif->SelectionActive ? QStringLiteral("Sélection") : QString()); };
    bool reussi = false;
    {
        Sablier sablier;
        try {
            reussi = importeur(*f.Massif, CheminSysteme(d.nom), rapport);
        } catch (const std::exception& e) {
            statut();
            Invite().Erreur(e);
        }
    }
    // Also when the caver chose to import nothing: the status bar no longer speaks of the import.
    if (f.Massif)
        statut();
    if (!reussi || !f.Massif)
        return;
    // The table measures its rows again with the new sheets.
    f.Massif->DimensionsAJour = false;
    f.MassifModifie(f.Massif.get(), Recalcul::Automatique, true);
}

// Asks for the exported file; false when cancelled or when an existing file is to be kept.
bool NomExport(const char* filtre, const char* extension, std::string& nom)
{
    // Each kind of export opens where the last one of its kind went.
    const QString genre = QString::fromLatin1(extension).remove(QLatin1Char('*')).remove(QLatin1Char('.')).toLower();
    DialogueFichier d{QString(), QString::fromUtf8(filtre), QString::fromLatin1(extension), QString(),
                      1,         DossierDialogue(genre)};
    if (!Invite().Enregistrer(d))
        return false;
    RetiensDossier(genre, d.nom);
    nom = CheminSysteme(d.nom);
    return Invite().EcritParDessus(nom);
}

template <class Exporteur>
void Exporte(TForm1& f, const char* filtre, const char* extension, Exporteur exporteur)
{
    std::string nom;
    if (!f.Massif || !NomExport(filtre, extension, nom))
        return;
    try {
        Sablier sablier;
        TForm1::EcritureMassif ecriture(f);
        exporteur(*f.Massif, nom);
    } catch (const std::exception& e) {
        // A file that could not be written is not reported as exported.
        Invite().Erreur(e);
        return;
    }
    Invite().Message(QString::fromUtf8(kTexteExportationTerminee), Icone::Aucune, {Bouton::OK});
}

}  // namespace

void TForm1::Importtoporobot1Click()
{
    Importe(*this, kFiltreToporobot, "Tab",
            [](TMassif& m, const std::string& nom, TRapportEchange& r) { return ImporteToporobot(m, nom, r); });
}

void TForm1::VisualTopo1Click()
{
    Importe(*this, kFiltreVisualTopo, "tro",
            [](TMassif& m, const std::string& nom, TRapportEchange& r) { return ImporteVisualTopo(m, nom, r); });
}

void TForm1::Exporttoporobot1Click()
{
    Exporte(*this, kFiltreToporobot, "Tab", [](TMassif& m, const std::string& nom) { ExporteToporobot(m, nom); });
}

void TForm1::PLT1Click()
{
    // The plot file holds the placed stations: they are computed first.
    Exporte(*this, kFiltrePlt, "*.plt", [this](TMassif&, const std::string& nom) {
        MetStationsAJour();
        ExportePLT(*Massif, nom);
    });
}

void TForm1::ExportVRML1Click()
{
    TAfficheur* a = Afficheur(GenreVue::Perspective);
    CommandeExportVRML(a ? a->Perspective() : nullptr, this);
}

// ---- working selection ----

void TForm1::IsoleFiches(std::unique_ptr<ListeFiches> trouvees)
{
    if (!Massif || !trouvees)
        return;
    Massif->Selection = std::move(trouvees);
    Massif->ActiveSelection(true);
    Massif->TrieSelection();
    Massif->DimensionsAJour = false;
    RafraichitVues();
    Rcuprer1->setEnabled(true);
    Panneaux[0]->setText(QStringLiteral("Sélection"));
    DemandeMiseAJourExploreur();
}

void TForm1::Rcuprer1Click()
{
    const ListeFiches* s = Massif ? Massif->Selection.get() : nullptr;
    QAction* niveaux[4] = {Systme3, Cavit3, Rseau3, Lieu3};
    for (int n = 1; n <= 4; ++n) {
        bool commun = s && !s->empty();
        if (commun)
            for (const TFiche* f : *s)
                if (!MemeDossier(*f, *s->front(), n)) {
                    commun = false;
                    break;
                }
        active(niveaux[n - 1], commun);
    }
}

void TForm1::Tout1Click()
{
    if (!Massif)
        return;
    Massif->Selection.reset();
    Massif->SelectionActive = false;
    Massif->FichesCourantes = &Massif->Fiches;
    Rcuprer1->setEnabled(false);
    Panneaux[0]->clear();
    Massif->DimensionsAJour = false;
    // Also asks the explorer for its deferred rebuild.
    RafraichitVues();
}

void TForm1::Systme3Click(int niveau)
{
    if (!Massif || !Massif->Selection)
        return;
    Massif->TrieFiches();
    // An empty selection has no place to widen to.
    if (Massif->Selection->empty())
        return;
    const TFiche* modele = Massif->Selection->front();
    auto nouvelle = std::make_unique<ListeFiches>();
    for (TFiche* f : Massif->Fiches)
        if (f && MemeDossier(*f, *modele, niveau))
            nouvelle->push_back(f);
    Massif->Selection = std::move(nouvelle);
    Massif->ActiveSelection(true);
    Massif->TrieSelection();
    Massif->DimensionsAJour = false;
    RafraichitVues();
}

// ---- table ----

void TForm1::TrieTableau(QAction* item)
{
    item->setChecked(true);
    if (Massif)
        Massif->DimensionsAJour = false;
    if (TAfficheur* t = Afficheur(GenreVue::Tableau))
        t->Redessine();
}

}  // namespace karst
