// View commands of the main window: opening and redrawing the view windows, the "Vue" and
// "Branche" menus, the view toolbar forwarded to the active view window, and the
// computation commands' wiring.

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "calcul/drapeaux.h"
#include "formulaires/controles.h"
#include "formulaires/dlg_svg.h"
#include "formulaires/expert.h"
#include "formulaires/nvlle_branche.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/impression.h"
#include "survey/coupe.h"
#include "views/contexte.h"
#include "views/coupe_branches.h"
#include "views/plan.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

// The main window as the views see it.
class ContexteForm1 : public ContexteVues {
public:
    explicit ContexteForm1(TForm1& f) : f_(f) {}
    TMassif* Massif() override { return f_.Massif.get(); }
    const TOptions_Plan* OptionsPlan() override { return &f_.OptionsPlan; }
    const TOptions_Relief* OptionsRelief() override { return &f_.OptionsRelief; }
    ChoixBulle Bulles() override
    {
        ChoixBulle b;
        b.Coordonnees = f_.BulleCoordonnees;
        b.Commentaires = f_.BulleCommentaires;
        b.Visees = f_.BulleVisees;
        b.Largeur = f_.BulleLargeur;
        b.Hauteur = f_.BulleHauteur;
        b.Deformation = f_.BulleDeformation;
        return b;
    }
    TImprimante& Imprimante() override { return f_.Imprimante(); }
    int PixelsParPouceVuePlan() override { return f_.PixelsParPouce; }
    const TOptions_Coupe* OptionsCoupe() override { return &f_.OptionsCoupe; }
    TOptions_Tableau* OptionsTableau() override { return &f_.OptionsTableau; }
    TriTableau OrdreTableau() override
    {
        if (f_.Date1->isChecked())
            return TriTableau::Date;
        return f_.Localisation1->isChecked() ? TriTableau::Localisation : TriTableau::OrdreDeSaisie;
    }
    const TMarge* Marges() override { return &f_.Marge; }
    void TraiteMessages() override { QCoreApplication::processEvents(); }
    bool Interrompu() override
    {
        if (!Evolution)
            return false;
        if (++traces_ % 4096 == 0)
            QCoreApplication::processEvents();
        return !Evolution->isVisible();
    }
    void DemandeCalcul(bool automatique) override { f_.DemandeCalcul(automatique); }
    void RafraichitExplorateur() override { f_.RafraichitExplorateur(); }

    bool AnglePlan(double& angle) override
    {
        TPlan* p = Plan();
        if (p)
            angle = p->Angle;
        return p != nullptr;
    }
    void OrientePlan(double angle) override
    {
        if (TPlan* p = Plan()) {
            p->Angle = angle;
            p->Tourne(0);
        }
    }
    bool AnglesPerspective(double& azimut, double& elevation) override
    {
        TPerspective* p = Perspective();
        if (p) {
            azimut = p->Azimut;
            elevation = p->Elevation;
        }
        return p != nullptr;
    }
    void OrientePerspective(double azimut, double elevation) override
    {
        if (TPerspective* p = Perspective()) {
            p->Azimut = azimut;
            p->Elevation = elevation;
            p->Tourne(0, 0);
        }
    }
    bool SelectionVueActive(int& fiche, int& galerie, int& point) override
    {
        // The selection fields keep the last pick after the highlight is gone: without a
        // valid selection they designate nothing.
        TAfficheur* a = f_.AfficheurActif();
        if (!a || !a->SelectionValide)
            return false;
        fiche = a->FicheSel;
        galerie = a->GalerieSel;
        point = a->PointSel;
        return true;
    }
    void OteSelectionCoupe() override
    {
        if (auto* a = qobject_cast<TAfficheur*>(f_.VueCoupe.data()))
            a->OteSelection();
    }
    // The table shows the section's abscissae too.
    void RedessineCoupe() override
    {
        for (QWidget* w : {f_.VueCoupe.data(), f_.VueTableau.data()})
            if (auto* a = qobject_cast<TAfficheur*>(w))
                a->Redessine();
    }
    void MontreGaleriesCoupe(const std::vector<const TGalerie*>& galeries) override
    {
        if (auto* a = qobject_cast<TAfficheur*>(f_.VueCoupe.data()))
            a->MontreGaleries(galeries);
    }
    bool RechercheSimple(const std::vector<TFiche*>& fiches, const std::array<std::string, 5>& criteres, TFiche*& fiche,
                         int& galerie) override
    {
        return f_.RechercheSimple(fiches, criteres, fiche, galerie);
    }
    bool ChoisitGalerie(TFiche*& fiche, int& galerie) override
    {
        galerie = 0;
        return f_.Massif && f_.RechercheSimple(f_.Massif->Fiches, {}, fiche, galerie);
    }
    int ChoixStation(const std::vector<const TPointTopo*>& stations) override { return f_.ChoixStation(stations); }
    bool DemandeNouvelleBranche(const std::string& depart, const std::string& arrivee, ChoixBranche& choix) override
    {
        return karst::DemandeNouvelleBranche(depart, arrivee, choix);
    }
    bool DemandeDecalage(long double x, long double z, long double& nx, long double& nz) override
    {
        return karst::DemandeDecalage(x, z, nx, nz);
    }

private:
    // The views of the plan and perspective windows, when those are open.
    TPlan* Plan() const
    {
        TAfficheur* a = f_.Afficheur(GenreVue::Plan);
        return a ? a->Plan() : nullptr;
    }
    TPerspective* Perspective() const
    {
        TAfficheur* a = f_.Afficheur(GenreVue::Perspective);
        return a ? a->Perspective() : nullptr;
    }

private:
    TForm1& f_;
    // Strokes asked about during print jobs.
    uint64_t traces_ = 0;
};

// What the section operations report: messages, and the redraw of the section window.
class AvisCoupeForm1 : public IAvisCoupe {
public:
    explicit AvisCoupeForm1(TForm1& f) : f_(f) {}
    void ProblemeCoupe(const std::string& texte) override
    {
        Invite().Message(QString::fromUtf8(texte), Icone::Aucune, {Bouton::OK});
    }
    void RedessineCoupe() override { f_.Contexte().RedessineCoupe(); }

private:
    TForm1& f_;
};

QMdiSubWindow* Cadre(QWidget* w) { return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr; }

bool Reduite(QWidget* w)
{
    QMdiSubWindow* s = Cadre(w);
    return s ? s->isMinimized() : w->isMinimized();
}

// The window area's size, once the main window is up: before, the area has no size of its
// own to fit anything in.
QSize Zone(const QMdiArea& mdi) { return mdi.window()->isVisible() ? mdi.viewport()->size() : QSize(); }

}  // namespace

ContexteVues& TForm1::Contexte()
{
    if (!contexte_)
        contexte_ = std::make_unique<ContexteForm1>(*this);
    return *contexte_;
}

TImprimante& TForm1::Imprimante()
{
    if (!imprimante_)
        imprimante_ = std::make_unique<ImprimanteQt>();
    return *imprimante_;
}

void TForm1::FixeImprimante(std::unique_ptr<TImprimante> imprimante)
{
    // The device put in place keeps the orientation set up for the window's printer.
    if (imprimante && imprimante_)
        imprimante->FixePaysage(imprimante_->Paysage());
    imprimante_ = std::move(imprimante);
}

void TForm1::Imprimer1Click()
{
    TAfficheur* a = AfficheurActif();
    if (!Massif || !a || !a->Graphique)
        return;
    DialogueImpression d;
    if (auto* q = dynamic_cast<ImprimanteQt*>(&Imprimante()))
        d.imprimante = &q->Printer();
    d.minimum = d.de = 1;
    int colonnes = 1, lignes = 1;
    if (!a->Mode3D())
        a->Graphique->NombrePages(colonnes, lignes, Marge.Gauche + Marge.Droite, Marge.Haut + Marge.Bas);
    // The dialog counts pages in an int; a grid beyond it is refused when printed.
    d.maximum = a->Mode3D() ? 1 : static_cast<int>(std::clamp<int64_t>(int64_t{colonnes} * lignes, 1, INT_MAX));
    d.a = d.maximum;
    if (!a->Mode3D())
        d.accepte = [&](int de, int jusqua, int copies) {
            const int64_t grille = int64_t{colonnes} * lignes;
            const int64_t n = de == 0 ? grille : std::min<int64_t>(jusqua, grille) - std::max(de, 1) + 1;
            return GrilleImprimable(*a->Graphique, colonnes, lignes, std::max<int64_t>(n, 0) * copies, kPagesMax);
        };
    // A print to a file goes by default beside the massif (or where the last one went),
    // not into whatever folder the program was started from.
    if (d.imprimante && d.imprimante->outputFormat() == QPrinter::PdfFormat) {
        const QFileInfo sortie(d.imprimante->outputFileName());
        const QString dossier = DossierDialogue(QStringLiteral("pdf"));
        if (sortie.isRelative() || !dossier.isEmpty())
            d.imprimante->setOutputFileName((dossier.isEmpty() ? QDir::homePath() : dossier) + QLatin1Char('/') +
                                            sortie.fileName());
    }
    if (!Invite().Impression(d))
        return;
    if (d.imprimante && d.imprimante->outputFormat() == QPrinter::PdfFormat)
        RetiensDossier(QStringLiteral("pdf"), d.imprimante->outputFileName());
    a->Imprime(d.plage ? d.de : 0, d.plage ? d.a : 0, d.copies, Marge, d.assembler, d.inverse);
}

void TForm1::Apercu1Click()
{
    TAfficheur* a = AfficheurActif();
    if (!Massif || !a || !a->Graphique)
        return;
    if (a->Mode3D()) {
        Invite().Information(QStringLiteral("Pas d'aperçu avant impression avec la 3D"));
        return;
    }
    TPreview apercu(*this, this);
    apercu.Vue = a;
    apercu.PageCourante = 1;
    a->Graphique->NombrePages(apercu.PagesX, apercu.PagesY, Marge.Gauche + Marge.Droite, Marge.Haut + Marge.Bas);
    // The preview shows any grid its scroll bar can count.
    if (GrilleImprimable(*a->Graphique, apercu.PagesX, apercu.PagesY, int64_t{apercu.PagesX} * apercu.PagesY, INT_MAX))
        ExecuteModal(apercu);
}

namespace {

// The scale box's line edit. The combo box hands it its keys and focus changes by calling
// its handlers directly, so the filtering lives here rather than in an event filter.
class LigneEchelle : public QLineEdit {
public:
    explicit LigneEchelle(TForm1& form) : form_(form) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        QChar c;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            c = QLatin1Char('\r');
        else if (e->key() == Qt::Key_Backspace)
            c = QLatin1Char('\b');
        else if (!e->text().isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            c = e->text().at(0);
        // Keys without a character (arrows, Tab) and the editing shortcuts go their usual
        // way.
        if (!c.isNull()) {
            TAfficheur* a = form_.AfficheurActif();
            const bool avale = a ? a->Boite_EchelleKeyPress(c) : !FiltreTouches::Accepte(c);
            if (avale) {
                e->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QLineEdit::focusOutEvent(e);
        if (form_.EnDestruction)
            return;
        if (TAfficheur* a = form_.AfficheurActif())
            a->Boite_EchelleExit();
    }

private:
    TForm1& form_;
};

}  // namespace

void TForm1::construitVues()
{
    Dlg_SVG = new TDlg_SVG(this);
    Dlg_SVG->setProperty("HelpContext", 51);
    for (QAction* a : {Imprimer1, BoutonImprimer, Apercu1, BoutonApercu, SVG1, Rotation1, Rotationplane1, Echelle2,
                       Pourcent1, Dformationmax1, Nouvelle1, Continuer1, Inverser1, Dcaler1, Racrocher1, Retirer1})
        DeclareCommande(a);
    connect(Imprimer1, &QAction::triggered, this, &TForm1::Imprimer1Click);
    connect(BoutonImprimer, &QAction::triggered, this, &TForm1::Imprimer1Click);
    connect(Apercu1, &QAction::triggered, this, &TForm1::Apercu1Click);
    connect(BoutonApercu, &QAction::triggered, this, &TForm1::Apercu1Click);
    // Commands of the active view window.
    auto vers = [this](QAction* a, void (TAfficheur::*action)()) {
        connect(a, &QAction::triggered, this, [this, action] {
            if (TAfficheur* v = AfficheurActif())
                (v->*action)();
        });
    };
    vers(SVG1, &TAfficheur::ExporteSVG);
    vers(Rotation1, &TAfficheur::Rotation1Click);
    vers(Rotationplane1, &TAfficheur::Rotationplane1Click);
    vers(Echelle2, &TAfficheur::Echelle2Click);
    vers(Pourcent1, &TAfficheur::Pourcent1Click);
    vers(Dformationmax1, &TAfficheur::Dformationmax1Click);
    const char* couleurs[] = {"Fiche2", "Lieu4", "Rseau4", "Cavit4", "Systme4"};
    const char* isolers[] = {"Fiche3", "Lieu5", "Rseau5", "Cavit5", "Systme5"};
    for (int i = 0; i < 5; ++i) {
        if (QAction* c = Vue1->findChild<QAction*>(QString::fromLatin1(couleurs[i])))
            connect(c, &QAction::triggered, this, [this, i] {
                if (TAfficheur* v = AfficheurActif())
                    v->Lieu2Click(i);
            });
        if (QAction* x = Vue1->findChild<QAction*>(QString::fromLatin1(isolers[i])))
            connect(x, &QAction::triggered, this, [this, i] {
                if (TAfficheur* v = AfficheurActif())
                    v->Lieu1Click(i, true);
            });
    }
    if (QAction* g = Vue1->findChild<QAction*>(QStringLiteral("Galerie2")))
        vers(g, &TAfficheur::Galerie1Click);
    // The branch commands go to the section window, active or not.
    const std::pair<QAction*, CommandeCoupe> branches[] = {
        {Nouvelle1, CommandeCoupe::Nouvelle},    {Continuer1, CommandeCoupe::Continuer},
        {Inverser1, CommandeCoupe::Inverser},    {Dcaler1, CommandeCoupe::Decaler},
        {Racrocher1, CommandeCoupe::Raccrocher}, {Retirer1, CommandeCoupe::Retirer}};
    for (const auto& [action, commande] : branches)
        connect(action, &QAction::triggered, this, [this, c = commande] {
            if (auto* coupe = qobject_cast<TAfficheur*>(VueCoupe.data()))
                coupe->Branche(c);
        });

    for (QAction* a : {Plan1, BoutonPlan, Coupe1, BoutonCoupe, Relief1, BoutonPerspective, Tableau1, BoutonTableau,
                       Calculrapide1, BoutonCalculer, Calcul1, Arrter1, Bouton_Arreter, Supprimertouteslescoupes1,
                       Configurerlimprimante1, Marges1, Expert1})
        DeclareCommande(a);
    connect(Expert1, &QAction::triggered, this, [this] {
        if (!Massif)
            return;
        TExpert expert(Contexte(), this);
        ExecuteModal(expert);
    });
    connect(Coupe1, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Coupe); });
    connect(BoutonCoupe, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Coupe); });
    connect(Relief1, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Perspective); });
    connect(BoutonPerspective, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Perspective); });
    connect(Tableau1, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Tableau); });
    connect(BoutonTableau, &QAction::triggered, this, [this] { OuvreVue(GenreVue::Tableau); });
    connect(Marges1, &QAction::triggered, this, [this] { Marge.Modifie(this); });
    avisCoupe_ = std::make_unique<AvisCoupeForm1>(*this);
    DefinitAvisCoupe(avisCoupe_.get());
    connect(Supprimertouteslescoupes1, &QAction::triggered, this, &TForm1::Supprimertouteslescoupes1Click);
    connect(Configurerlimprimante1, &QAction::triggered, this, &TForm1::Configurerlimprimante1Click);
    connect(Plan1, &QAction::triggered, this, &TForm1::Plan1Click);
    connect(BoutonPlan, &QAction::triggered, this, &TForm1::Plan1Click);
    connect(Calculrapide1, &QAction::triggered, this, &TForm1::Calculrapide1Click);
    connect(BoutonCalculer, &QAction::triggered, this, &TForm1::Calculrapide1Click);
    connect(Calcul1, &QAction::triggered, this, &TForm1::Calcul1Click);
    connect(Arrter1, &QAction::triggered, this, &TForm1::Arrter1Click);
    connect(Bouton_Arreter, &QAction::triggered, this, &TForm1::Arrter1Click);
    connect(Depart_Calcul_Rapide, &QTimer::timeout, this, &TForm1::Depart_Calcul_RapideTimer);
    connect(Depart_Calcul_Detail, &QTimer::timeout, this, &TForm1::Depart_Calcul_DetailTimer);
    connect(Rapport_Differe, &QTimer::timeout, this, &TForm1::Rapport_DiffereTimer);
    // After the general menu state.
    connect(Options1, &QMenu::aboutToShow, this, &TForm1::Options1Click);
    connect(Vue1, &QMenu::aboutToShow, this, &TForm1::Vue1Click);
    connect(Branche1, &QMenu::aboutToShow, this, &TForm1::Branche1Click);

    connect(Mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* s) {
        for (QMdiSubWindow* autre : Mdi->subWindowList())
            if (autre != s)
                if (auto* a = qobject_cast<TAfficheur*>(autre->widget()))
                    a->FormDeactivate();
        if (auto* a = s ? qobject_cast<TAfficheur*>(s->widget()) : nullptr)
            a->FormActivate();
    });

    // The view toolbar goes to the active view window: an item picked from a list
    // applies at once, a typed scale on Enter or on leaving the box.
    Boite_Echelle->setLineEdit(new LigneEchelle(*this));
    // Typed digits stay as they are typed, never completed into a listed scale.
    Boite_Echelle->setCompleter(nullptr);
    Boite_Echelle->setInsertPolicy(QComboBox::NoInsert);
    connect(Boite_Echelle, &QComboBox::activated, this, [this] {
        if (TAfficheur* a = AfficheurActif())
            a->Boite_EchelleChange();
    });
    connect(Boite_Rapport, &QComboBox::activated, this, [this] {
        if (TAfficheur* a = AfficheurActif())
            a->Boite_RapportChange();
    });
    // A ratio that is not in the list shows as the box's placeholder, in the text's colour.
    QPalette palette = Boite_Rapport->palette();
    palette.setColor(QPalette::PlaceholderText, palette.color(QPalette::Text));
    Boite_Rapport->setPalette(palette);
    for (QAction* outil : {Rotation, Contrainte, Couleur})
        connect(outil, &QAction::triggered, this, [this] {
            if (TAfficheur* a = AfficheurActif())
                a->Redessine();
        });
}

TAfficheur* TForm1::AfficheurActif() const { return qobject_cast<TAfficheur*>(VueActive()); }

void TForm1::OuvreVue(GenreVue genre)
{
    if (!Massif)
        return;
    if (FenetreExploreur) {
        if (QMdiSubWindow* s = Cadre(FenetreExploreur))
            s->showMinimized();
        else
            FenetreExploreur->showMinimized();
    }
    if (genre == GenreVue::Coupe || genre == GenreVue::Tableau)
        Massif->PlaceCoupe();
    QPointer<QWidget>* champs[4] = {&VuePlan, &VueCoupe, &VuePerspective, &VueTableau};
    QPointer<QWidget>& champ = *champs[static_cast<int>(genre)];
    if (champ) {
        QMdiSubWindow* s = Cadre(champ);
        if (s) {
            if (s->isMinimized())
                s->showNormal();
            Mdi->setActiveSubWindow(s);
        }
        champ->raise();
    } else {
        auto* a = new TAfficheur(*this);
        champ = a;
        QMdiSubWindow* s = Mdi->addSubWindow(a);
        s->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the window frees it; the menus then follow.
        connect(a, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, [this] { MiseAJourMenus(); }); });
        // The frame around the window's design client area, made smaller when the window area
        // is, and set before the window shows: opened while another is maximised, it shows
        // maximised in its turn, and takes that size back when restored.
        QSize cadre = a->sizeHint().grownBy(s->contentsMargins());
        if (const QSize zone = Zone(*Mdi); zone.isValid())
            cadre = cadre.boundedTo(zone);
        s->resize(cadre);
        // Restored, it comes back inside the area, which may have shrunk meanwhile.
        connect(s, &QMdiSubWindow::windowStateChanged, this,
                [this, s, a = QPointer<TAfficheur>(a)](Qt::WindowStates avant, Qt::WindowStates etat) {
                    const Qt::WindowStates reduite = Qt::WindowMinimized | Qt::WindowMaximized;
                    if ((avant & reduite) && !(etat & reduite))
                        QTimer::singleShot(0, s, [this, s] { GardeDansZone(s); });
                    // Back from its icon, it shows what the massif holds now.
                    if ((avant & Qt::WindowMinimized) && !(etat & Qt::WindowMinimized) && a && a->ARedessiner)
                        a->Redessine();
                });
        s->show();
        GardeDansZone(s);
        Mdi->setActiveSubWindow(s);
        // The first fit works on the size the window got.
        a->Initialise(genre);
        s->setWindowIcon(a->windowIcon());
    }
    if (genre == GenreVue::Coupe)
        Massif->VerifieCoupe();
    MiseAJourMenus();
}

void TForm1::GardeDansZone(QMdiSubWindow* s, int reserve)
{
    QSize zone = Zone(*Mdi);
    if (zone.height() > reserve)
        zone.rheight() -= reserve;
    if (!s || !zone.isValid() || s->isMinimized() || s->isMaximized())
        return;
    QRect r = s->geometry();
    r.setSize(r.size().boundedTo(zone).expandedTo(s->minimumSize()));
    r = DansEcran(r, QRect(QPoint(0, 0), zone));
    if (r != s->geometry())
        s->setGeometry(r);
}

void TForm1::ArrangeFenetres(bool mosaique)
{
    if (mosaique)
        Mdi->tileSubWindows();
    else
        Mdi->cascadeSubWindows();
    // Qt lays the windows over the whole area, over the minimised ones (the explorer once a
    // view is open) too: as on Windows, they keep their row at the bottom, and the tiles
    // share what is left above it.
    const int icones = RangeIcones();
    const int hauteur = Zone(*Mdi).height();
    for (QMdiSubWindow* s : Mdi->subWindowList()) {
        if (mosaique && icones > 0 && hauteur > icones && !s->isMinimized() && !s->isMaximized()) {
            const auto serre = [&](int y) { return static_cast<int>(qint64{y} * (hauteur - icones) / hauteur); };
            const QRect r = s->geometry();
            s->setGeometry(r.x(), serre(r.top()), r.width(), serre(r.top() + r.height()) - serre(r.top()));
        }
        // Cascaded windows take their design size, which may overflow a small area.
        GardeDansZone(s, icones);
    }
}

int TForm1::RangeIcones()
{
    int x = 0, hauteur = 0;
    for (QMdiSubWindow* s : Mdi->subWindowList())
        if (s->isMinimized()) {
            s->move(x, Mdi->viewport()->height() - s->height());
            s->raise();
            x += s->width();
            hauteur = std::max(hauteur, s->height());
        }
    return hauteur;
}

namespace {

// Every view drawn again; each selection, minimised or not, dropped or, with `suivre`,
// kept on its sheet when the sheet is still in the working list.
void ActualiseVues(TForm1& f, bool suivre)
{
    for (QWidget* w : {f.VuePlan.data(), f.VueCoupe.data(), f.VueTableau.data(), f.VuePerspective.data()}) {
        auto* a = qobject_cast<TAfficheur*>(w);
        if (!a)
            continue;
        const bool garde = suivre && a->SuitSelection();
        a->SelectionValide = false;
        if (Reduite(a)) {
            a->ARedessiner = true;
            a->SelectionValide = garde;
        } else {
            a->Redessine();
            if (garde)
                a->MontreSelection();
        }
    }
    f.DemandeMiseAJourExploreur();
}

}  // namespace

void TForm1::RafraichitVues() { ActualiseVues(*this, false); }

void TForm1::FichesChangees() { ActualiseVues(*this, true); }

void TForm1::Vue1Click()
{
    TAfficheur* a = AfficheurActif();
    const bool trois = a && a->Mode3D();
    const bool tableau = a && a == VueTableau;
    const bool selection = a && a->SelectionValide;
    active(Rotation1, a && (a == VuePlan || a == VuePerspective) && !trois);
    active(Rotationplane1, a && a == VuePerspective);
    active(Echelle2, a && !tableau && !trois);
    if (QMenu* couleur = Vue1->findChild<QMenu*>(QStringLiteral("Couleur1")))
        couleur->menuAction()->setEnabled(a && !tableau && selection);
    if (QMenu* isoler = Vue1->findChild<QMenu*>(QStringLiteral("Isoler1")))
        isoler->menuAction()->setEnabled(a && !tableau && selection);
    // With a table window open elsewhere, the rotation tool greys it too.
    const bool rotation = VueTableau && a && a->OutilSouris() == ModeRotation;
    active(Dformationmax1, a && !tableau && !trois && !rotation);
    active(Pourcent1, a && !trois);
}

void TForm1::Branche1Click()
{
    auto* coupe = qobject_cast<TAfficheur*>(VueCoupe.data());
    const bool existe = Massif && coupe;
    active(Nouvelle1, existe);
    for (QAction* x : {Inverser1, Retirer1, Dcaler1, Racrocher1, Continuer1})
        active(x, existe && coupe->SelectionValide);
}

void TForm1::Supprimertouteslescoupes1Click()
{
    if (!Massif)
        return;
    if (!Invite().ConfirmePerte(QStringLiteral("Supprimer toutes les coupes ?"), Icone::Avertissement))
        return;
    Massif->VideCoupe();
    Contexte().RedessineCoupe();
}

void TForm1::Configurerlimprimante1Click()
{
    if (auto* q = dynamic_cast<ImprimanteQt*>(&Imprimante()))
        Invite().ConfigurationImprimante(&q->Printer());
}

void TForm1::MontrePosition(const std::string& vue, int fiche, int galerie, int point)
{
    QWidget* w = vue == "Plan"     ? VuePlan.data()
                 : vue == "Coupe"  ? VueCoupe.data()
                 : vue == "Relief" ? VuePerspective.data()
                                   : nullptr;
    auto* a = qobject_cast<TAfficheur*>(w);
    if (!a)
        return;
    if (QMdiSubWindow* s = Cadre(a)) {
        if (s->isMinimized())
            s->showNormal();
        Mdi->setActiveSubWindow(s);
    }
    a->raise();
    Zoom->setChecked(false);
    if (vue == "Plan" || vue == "Relief")
        Rotation->setChecked(false);
    a->SelectionnePosition(static_cast<int16_t>(fiche), static_cast<int16_t>(galerie), static_cast<int16_t>(point));
}

}  // namespace karst
