// The commands of a view window on its selection: its pop-up menu (edit the sheet, show the
// selection in another view, print, options, gallery colours, isolate or exclude sheets,
// isolate what is on screen, the most deformed gallery) and what the main window forwards
// to the active view window (scale, ratio, repeated rotations, the section's branches).

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <limits>

#include "dialogs/hote_dialogues.h"
#include "dialogs/messages_communs.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/outils_3d.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/coupe_branches.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

// The text of a sheet's address at a level: 1 place, 2 network, 3 cave, 4 system.
const TEco& Niveau(const TFiche& f, int niveau)
{
    switch (niveau) {
    case 1: return f.Lieu;
    case 2: return f.Reseau;
    case 3: return f.Cavite;
    default: return f.Systeme;
    }
}

QAction* Action(QMenu* menu, const char* nom, const QString& texte)
{
    QAction* a = menu->addAction(texte);
    a->setObjectName(QString::fromLatin1(nom));
    return a;
}

}  // namespace

// ---- pop-up menu ----

void TAfficheur::MenuContextuel(const QPoint& global)
{
    // The menu keeps the mouse: its release would never end a drag.
    AbandonneGlisse();
    PopupMenu1Popup();
    PopupMenu1->popup(global);
}

void TAfficheur::PopupMenu1Popup()
{
    CacheBulle();
    auto item = [this](const char* nom) { return PopupMenu1->findChild<QAction*>(QString::fromLatin1(nom)); };
    const bool sel = SelectionValide;
    for (const char* nom : {"Edition1", "N1", "Fiche1", "Lieu1", "Rseau1", "Cavit1", "Systme1", "N9"})
        item(nom)->setVisible(sel);
    item("Couleur1")->setVisible(sel);
    const bool tableau = Genre() == GenreVue::Tableau;
    const bool deformation = OutilSouris() != ModeRotation && !form_.Zoom->isChecked() && !tableau;
    item("Dformationmax1")->setVisible(deformation);
    auto* plan = qobject_cast<TAfficheur*>(form_.VuePlan.data());
    auto* coupe = qobject_cast<TAfficheur*>(form_.VueCoupe.data());
    auto* perspective = qobject_cast<TAfficheur*>(form_.VuePerspective.data());
    item("Plan1")->setVisible(plan && sel && Genre() != GenreVue::Plan);
    item("Perspective1")->setVisible(perspective && !perspective->Mode3D() && sel && Genre() != GenreVue::Perspective);
    item("Tableau1")->setVisible(form_.VueTableau && sel && !tableau);
    bool dansCoupe = false;
    if (sel) {
        TFiche* f = nullptr;
        TGalerie* g = nullptr;
        ElementCourant(f, g);
        dansCoupe = g && g->DansCoupe;
    }
    item("Coupe1")->setVisible(coupe && sel && Genre() != GenreVue::Coupe && dansCoupe);
    item("N3")->setVisible(item("Isoler1")->isVisible() || deformation);
}

void TAfficheur::Edition1Click()
{
    OteSelection();
    TFiche* f = nullptr;
    TGalerie* g = nullptr;
    ElementCourant(f, g);
    if (f && Saisie().EditeFiche)
        Saisie().EditeFiche(f, GalerieSel, nullptr, 0);
}

void TAfficheur::MontreAilleurs(const std::string& vue) { form_.MontrePosition(vue, FicheSel, GalerieSel, PointSel); }

void TAfficheur::Imprimer1Click() { form_.Imprimer1Click(); }

void TAfficheur::Proprits1Click()
{
    bool ok = false;
    switch (Genre()) {
    case GenreVue::Plan: ok = form_.OptionsPlan.Modifie(form_.Contexte(), this); break;
    case GenreVue::Coupe: ok = form_.OptionsCoupe.Modifie(this); break;
    case GenreVue::Perspective: ok = form_.OptionsRelief.Modifie(form_.Contexte(), this); break;
    case GenreVue::Tableau:
        ok = form_.OptionsTableau.Modifie(form_.Contexte(), this);
        if (ok)
            if (TMassif* m = form_.Massif.get())
                m->DimensionsAJour = false;
        break;
    }
    if (ok)
        Redessine();
}

void TAfficheur::Galerie1Click()
{
    TFiche* f = nullptr;
    TGalerie* g = nullptr;
    ElementCourant(f, g);
    if (!g)
        return;
    uint32_t couleur = static_cast<uint32_t>(g->Couleur);
    if (!Invite().Couleur(couleur))
        return;
    g->Couleur = static_cast<int32_t>(couleur);
    // The colour is saved with the gallery: the massif has changed.
    form_.MassifModifie(form_.Massif.get(), Recalcul::Aucun, false);
    RedessineTout();
}

TFiche* TAfficheur::FicheChoisie(TGalerie*& galerie, TMassif*& massif)
{
    TFiche* fiche = nullptr;
    ElementCourant(fiche, galerie);
    massif = form_.Massif.get();
    return massif ? fiche : nullptr;
}

void TAfficheur::Lieu2Click(int niveau)
{
    TGalerie* g = nullptr;
    TMassif* m = nullptr;
    TFiche* s = FicheChoisie(g, m);
    if (!s)
        return;
    uint32_t couleur = g ? static_cast<uint32_t>(g->Couleur) : 0;
    if (!Invite().Couleur(couleur))
        return;
    auto colore = [couleur](TFiche& f) {
        for (TGalerie* x : f.Galeries)
            x->Couleur = static_cast<int32_t>(couleur);
    };
    if (niveau == 0)
        colore(*s);
    else
        for (TFiche* f : *m->FichesCourantes)
            if (Niveau(*f, niveau).Egal(Niveau(*s, niveau)))
                colore(*f);
    form_.MassifModifie(m, Recalcul::Aucun, false);
    RedessineTout();
}

void TAfficheur::Lieu1Click(int niveau, bool isoler)
{
    RedessineTout();
    TGalerie* g = nullptr;
    TMassif* m = nullptr;
    TFiche* s = FicheChoisie(g, m);
    if (!s)
        return;
    // Built from the current list before the old selection, which it may be, is freed.
    auto liste = std::make_unique<ListeFiches>();
    for (TFiche* f : *m->FichesCourantes) {
        const bool meme = niveau == 0 ? f == s : Niveau(*f, niveau).Egal(Niveau(*s, niveau));
        if (meme == isoler)
            liste->push_back(f);
    }
    m->Selection = std::move(liste);
    m->FichesCourantes = m->Selection.get();
    m->SelectionActive = true;
    m->DimensionsAJour = false;
    form_.RafraichitVues();
    form_.Rcuprer1->setEnabled(true);
    form_.Panneaux[0]->setText(QStringLiteral("Sélection"));
}

void TAfficheur::Ecran1Click()
{
    if (!Graphique)
        return;
    const int w = Barre_Horizontale->width(), h = Barre_Verticale->height();
    const int rayon2 = (w * w + h * h) / 4;
    OteSelection();
    Graphique->IsoleEcran(w / 2 + ScrollX(), h / 2 + ScrollY(), rayon2);
    Redessine();
    if (TMassif* m = form_.Massif.get(); m && m->SelectionActive) {
        form_.Rcuprer1->setEnabled(true);
        form_.Panneaux[0]->setText(QStringLiteral("Sélection"));
    }
}

void TAfficheur::Dformationmax1Click()
{
    if (!Graphique)
        return;
    OteSelection();
    if (Graphique->ChercheDeformationMax(FicheSel, GalerieSel, PointSel))
        MontreSelection();
}

// ---- forwarded by the main window ----

void TAfficheur::Echelle2Click()
{
    if (!Graphique)
        return;
    QString valeur = form_.Boite_Echelle->currentText();
    if (!Invite().Saisie(QStringLiteral("Echelle"), QString::fromUtf8(kTexteInviteEchelle), valeur))
        return;
    int32_t n = 0;
    if (!EchelleAdmise(QString::fromUtf8(kTexteInviteEchelle), valeur, n))
        return;
    {
        const QSignalBlocker bloque(form_.Boite_Echelle);
        form_.Boite_Echelle->setCurrentText(valeur);
    }
    const Centre c = NoteCentre();
    Graphique->Echelle = n;
    RestaureCentre(c);
}

bool TAfficheur::EchelleAdmise(const QString& champ, const QString& texte, int32_t& n)
{
    constexpr long long kMin = 100, kMax = std::numeric_limits<int32_t>::max();
    long long v = 0;
    if (!LitEntier(VersCp1252(texte.trimmed()), v) || v < kMin || v > kMax) {
        AvertitRefus(champ, texte, ExigeEntier(kMin, kMax));
        return false;
    }
    n = static_cast<int32_t>(v);
    return true;
}

void TAfficheur::Pourcent1Click()
{
    if (!Graphique)
        return;
    QString valeur = QString::number(Pourcentage());
    if (!Invite().Saisie(QStringLiteral("Pourcentage"), QStringLiteral("Nouveau pourcentage "), valeur))
        return;
    long long n = 0;
    // A ratio beyond 100 times the screen would ask for drawings no window can hold.
    if (!LitEntier(VersCp1252(valeur.trimmed()), n) || n <= 0 || n > 10000) {
        AvertitRefus(QStringLiteral("Nouveau pourcentage"), valeur, ExigeEntier(1, 10000));
        return;
    }
    Rapport = static_cast<long double>(n) / 100;
    MontreRapport();
    ChangeRapport();
}

void TAfficheur::BoucleRotation(const std::function<void()>& pas, const std::function<void()>& retour)
{
    TArret& arret = Arret(form_);
    arret.show();
    QPointer<TAfficheur> moi(this);
    EnRotation = true;
    while (arret.isVisible()) {
        pas();
        QCoreApplication::processEvents();
        // The window closed meanwhile: nothing left to turn.
        if (!moi || !Graphique) {
            arret.hide();
            if (moi)
                EnRotation = false;
            return;
        }
    }
    EnRotation = false;
    retour();
    RedevientActive();
}

void TAfficheur::RedevientActive()
{
    // The stop or progress window took the activation, and its closing gives it to no
    // window when no window manager hands it back.
    if (!form_.isActiveWindow())
        form_.activateWindow();
    if (auto* cadre = qobject_cast<QMdiSubWindow*>(parentWidget()))
        if (QMdiArea* zone = cadre->mdiArea())
            zone->setActiveSubWindow(cadre);
}

namespace {

// The rotation step asked for; false after saying why it is refused. A step of 0 would
// turn nothing until stopped, and one turn a step is the most that shows a rotation.
bool DemandePas(QString& pasRotation, double& pas)
{
    constexpr long long kPasMax = 180;
    const QString champ = QStringLiteral("Pas en degré");
    QString valeur = pasRotation;
    if (!Invite().Saisie(QStringLiteral("Rotation"), champ, valeur))
        return false;
    long double x = 0;
    if (!LitReelSaisi(VersCp1252(valeur.trimmed()), x) || x == 0 || !DansBornesReel(x, -kPasMax, kPasMax)) {
        AvertitRefus(champ, valeur, ExigeReel(-kPasMax, kPasMax) + QStringLiteral(" autre que 0"));
        return false;
    }
    pasRotation = valeur;
    pas = static_cast<double>(x);
    return true;
}

}  // namespace

void TAfficheur::Rotation1Click()
{
    TGraphique* vue = Graphique.get();
    if (!vue)
        return;
    PasTour pas;
    switch (vue->AnglesRotation()) {
    case 1:
        if (!DemandePas(PasRotation, pas.premier))
            return;
        break;
    case 2: {
        TLaRotation dialogue(this);
        if (ExecuteModal(dialogue) != QDialog::Accepted)
            return;
        pas.premier = static_cast<double>(LitReelEdition(dialogue.PasH));
        pas.second = -static_cast<double>(LitReelEdition(dialogue.PasV));
        pas.min = static_cast<double>(LitReelEdition(dialogue.MinV));
        pas.max = static_cast<double>(LitReelEdition(dialogue.MaxV));
        break;
    }
    default: return;
    }
    BoucleRotation(
        [&] {
            vue->TournePas(pas, false);
            Redessine();
            repaint();
        },
        [&] {
            vue->TournePas(pas, true);
            Redessine();
            repaint();
        });
}

void TAfficheur::Rotationplane1Click()
{
    TPerspective* p = Perspective();
    if (!p)
        return;
    double pas = 0;
    if (!DemandePas(PasRotation, pas))
        return;
    TOutils_3D& outils = Outils3D(form_);
    outils.setEnabled(false);
    if (Mode3D()) {
        Arret(form_).show();
        PasCaTourne = RoundEntier(static_cast<long double>(pas) * 1000);
        CaTourne->start();
        return;
    }
    BoucleRotation(
        [&] {
            p->Tourne(pas, 0);
            Redessine();
            repaint();
        },
        [&] {
            p->Tourne(-pas, 0);
            Redessine();
            repaint();
        });
    outils.setEnabled(true);
}

namespace {

// The section window as its branch commands see it.
class FenetreCoupe : public IFenetreCoupe {
public:
    FenetreCoupe(TAfficheur& a, std::function<void()> redessine) : a_(a), redessine_(std::move(redessine)) {}
    bool Selection(int& fiche, int& galerie, int& point) override
    {
        fiche = a_.FicheSel;
        galerie = a_.GalerieSel;
        point = a_.PointSel;
        return a_.SelectionValide;
    }
    void FixeSelection(int fiche, int galerie, int point) override
    {
        a_.FicheSel = fiche;
        a_.GalerieSel = galerie;
        a_.PointSel = point;
    }
    void EffaceSelection() override { a_.OteSelection(); }
    void AfficheSelection() override { a_.MontreSelection(); }
    void Redessine() override { redessine_(); }

private:
    TAfficheur& a_;
    std::function<void()> redessine_;
};

}  // namespace

void TAfficheur::Branche(CommandeCoupe commande)
{
    if (!Graphique)
        return;
    // Continuing a branch at the right end of the section keeps the new end in sight.
    const bool auBout = Barre_Horizontale->isEnabled() && Barre_Horizontale->value() == Barre_Horizontale->maximum();
    FenetreCoupe fenetre(*this, [this, commande, auBout] {
        form_.Contexte().RedessineCoupe();
        if (commande == CommandeCoupe::Continuer && auBout && Barre_Horizontale->isEnabled())
            Barre_Horizontale->setValue(Barre_Horizontale->maximum());
    });
    Graphique->Branche(commande, form_.Contexte(), fenetre);
}

// ---- the menu itself ----

void ConstruitMenuVue(TAfficheur& a, QMenu* menu)
{
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QObject::connect(Action(menu, "Edition1", QStringLiteral("&Fiche")), &QAction::triggered, &a,
                     [&a] { a.Edition1Click(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N1"));
    QObject::connect(Action(menu, "Plan1", QStringLiteral("&Plan")), &QAction::triggered, &a,
                     [&a] { a.MontreAilleurs("Plan"); });
    QObject::connect(Action(menu, "Coupe1", QStringLiteral("&Coupe")), &QAction::triggered, &a,
                     [&a] { a.MontreAilleurs("Coupe"); });
    QObject::connect(Action(menu, "Perspective1", QStringLiteral("Pe&rspective")), &QAction::triggered, &a,
                     [&a] { a.MontreAilleurs("Relief"); });
    Action(menu, "Tableau1", QStringLiteral("&Tableau"));
    menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    QObject::connect(Action(menu, "Imprimer1", QStringLiteral("&Imprimer ...")), &QAction::triggered, &a,
                     [&a] { a.Imprimer1Click(); });
    QObject::connect(Action(menu, "Proprits1", QStringLiteral("Pr&opriétés ...")), &QAction::triggered, &a,
                     [&a] { a.Proprits1Click(); });
    QMenu* couleur = menu->addMenu(QStringLiteral("Co&uleur"));
    couleur->setObjectName(QStringLiteral("Couleur1_Menu"));
    couleur->menuAction()->setObjectName(QStringLiteral("Couleur1"));
    QObject::connect(Action(couleur, "Galerie1", QStringLiteral("&Galerie ...")), &QAction::triggered, &a,
                     [&a] { a.Galerie1Click(); });
    const char* couleurs[] = {"Fiche2", "Lieu2", "Rseau2", "Cavit2", "Systeme1"};
    const QString niveaux[] = {QStringLiteral("&Fiche"), QStringLiteral("&Lieu"), QStringLiteral("&Réseau"),
                               QStringLiteral("&Cavité"), QStringLiteral("&Système")};
    for (int i = 0; i < 5; ++i)
        QObject::connect(Action(couleur, couleurs[i], niveaux[i] + QStringLiteral(" ...")), &QAction::triggered, &a,
                         [&a, i] { a.Lieu2Click(i); });
    menu->addSeparator()->setObjectName(QStringLiteral("N3"));
    QMenu* isoler = menu->addMenu(QStringLiteral("I&soler"));
    isoler->setObjectName(QStringLiteral("Isoler1_Menu"));
    isoler->menuAction()->setObjectName(QStringLiteral("Isoler1"));
    QObject::connect(Action(isoler, "Ecran1", QStringLiteral("&Ecran")), &QAction::triggered, &a,
                     [&a] { a.Ecran1Click(); });
    isoler->addSeparator()->setObjectName(QStringLiteral("N9"));
    const char* isolers[] = {"Fiche1", "Lieu1", "Rseau1", "Cavit1", "Systme1"};
    for (int i = 0; i < 5; ++i)
        QObject::connect(Action(isoler, isolers[i], niveaux[i]), &QAction::triggered, &a,
                         [&a, i] { a.Lieu1Click(i, true); });
    QMenu* exclure = menu->addMenu(QStringLiteral("&Exclure"));
    exclure->setObjectName(QStringLiteral("Exclure1_Menu"));
    exclure->menuAction()->setObjectName(QStringLiteral("Exclure1"));
    const char* exclus[] = {"Fiche3", "Lieu3", "Rseau3", "Cavit3", "Systme2"};
    for (int i = 0; i < 5; ++i)
        QObject::connect(Action(exclure, exclus[i], niveaux[i]), &QAction::triggered, &a,
                         [&a, i] { a.Lieu1Click(i, false); });
    QObject::connect(Action(menu, "Dformationmax1", QStringLiteral("&Déformation max")), &QAction::triggered, &a,
                     [&a] { a.Dformationmax1Click(); });
}

}  // namespace karst
