// Printing a view window over a grid of printer pages with corner marks and labels, the
// progress window that stops a job, the 3D picture on one page, and the print preview.

#include "shell/impression.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <memory>

#include "calcul/drapeaux.h"
#include "platform/canvas.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "scene3d/panneau.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/outils_3d.h"
#include "survey/nombres.h"
#include "views/options.h"
#include "views/vue_relief.h"

namespace karst {

TEvolution* Evolution = nullptr;

namespace {

void TraiteMessages() { QCoreApplication::processEvents(); }

// Ends the job, saying so when its document could not be written.
void TermineTravail(TImprimante& imp)
{
    const QString erreur = imp.Fin();
    if (!erreur.isEmpty())
        Invite().Message(erreur, Icone::Erreur, {Bouton::OK});
}

}  // namespace

// ---- progress window ----

TEvolution::TEvolution(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Evolution"));
    setWindowTitle(QStringLiteral("Impression"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    // The pages let the application process its messages, some in the middle of a page:
    // only this window takes input then, so nothing closes or changes the massif being
    // printed.
    setWindowModality(Qt::ApplicationModal);
    auto* texte = new QLabel(QStringLiteral("Impression en cours"), this);
    texte->setAlignment(Qt::AlignCenter);
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setTextVisible(false);
    Button1 = new QPushButton(QStringLiteral("Interrompre"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);
    auto* l = new QVBoxLayout(this);
    l->addWidget(texte);
    l->addWidget(Gauge1);
    l->addWidget(Button1, 0, Qt::AlignHCenter);
}

// ---- printing ----

void TAfficheur::Imprime(int premiere, int derniere, int copies, const TMarge& marge, bool assembler, bool inverse)
{
    if (!Graphique)
        return;
    if (Mode3D()) {
        Imprime3D();
        return;
    }
    TImprimante& imp = form_.Imprimante();
    Sablier sablier;
    // The pages are drawn with events let through: a computation ending meanwhile would
    // move the stations between two pages of one plan.
    TForm1::EcritureMassif lecture(form_);
    int colonnes = 0, lignes = 0;
    Graphique->NombrePages(colonnes, lignes, marge.Gauche + marge.Droite, marge.Haut + marge.Bas);
    // Counted in 64 bits: a grid may hold more pages than an int counts.
    const int64_t grille = static_cast<int64_t>(std::max(colonnes, 0)) * std::max(lignes, 0);
    // A range outside the grid prints what lies inside it.
    const int64_t debut = premiere == 0 ? 1 : std::max(premiere, 1);
    const int64_t fin = premiere == 0 ? grille : std::min<int64_t>(derniere, grille);
    const int64_t n = std::max<int64_t>(fin - debut + 1, 0);
    copies = std::max(copies, 0);
    if (!GrilleImprimable(*Graphique, colonnes, lignes, n * copies, kPagesMax) || n == 0)
        return;

    auto evolution = std::make_unique<TEvolution>(this);
    Evolution = evolution.get();
    evolution->Gauge1->setValue(0);
    evolution->show();
    TraiteMessages();
    // A job's name cannot change once it has started.
    imp.FixeTitre("Plan topographique");
    imp.Debut();
    TraiteMessages();
    // The pages in the order the sheets come out: each copy whole, or each page in all
    // its copies, from the first or from the last page.
    const int64_t total = n * copies;
    for (int64_t i = 0; i < total && evolution->isVisible(); ++i) {
        const int64_t k = assembler ? i % n : i / copies;
        const auto p = static_cast<int>(inverse ? fin - 1 - k : debut - 1 + k);
        if (i > 0 && !imp.NouvellePage())
            break;
        Graphique->DessinePage(p % colonnes, p / colonnes, marge.Gauche, marge.Haut, OutilSouris(), imp.Canvas(), 1.0);
        ImprimePage(imp, p, marge);
        TraiteMessages();
        TraiteMessages();
        evolution->Gauge1->setValue(RoundEntier(100.0L * static_cast<long double>(i + 1) / total));
    }
    if (evolution->isVisible()) {
        evolution->hide();
        TermineTravail(imp);
    } else {
        imp.Abandon();
    }
    Evolution = nullptr;
    evolution.reset();
    RedevientActive();
}

void TAfficheur::ImprimePage(TImprimante& imp, int page, const TMarge& marge)
{
    ImprimePage(imp.Canvas(), imp, page, marge, 1.0);
}

void TAfficheur::ImprimePage(TCanvas& c, TImprimante& imp, int page, const TMarge& marge, double zoom)
{
    const int W = imp.LargeurPage(), H = imp.HauteurPage();
    const long double k = imp.LargeurMm() > 0 ? static_cast<long double>(W) / imp.LargeurMm() : 1.0L;
    // Printer pixels to the canvas's.
    auto z = [zoom](long double px) { return RoundEntier(px * zoom); };
    if (Genre() != GenreVue::Tableau) {
        Stylo s;
        s.couleur = kNoir;
        s.largeur = z(RoundEntier(k * marge.EpaisseurAngle / 10));
        c.FixePen(s);
        const int L = marge.LongueurAngle;
        // The frame's corners and the marks' ends.
        const QRect a = CadrePage(imp, marge.Gauche, marge.Haut, marge.Droite, marge.Bas);
        const QRect b = CadrePage(imp, marge.Gauche + L, marge.Haut + L, marge.Droite + L, marge.Bas + L);
        auto trait = [&](int x0, int y0, int x1, int y1) {
            c.MoveTo(z(x0), z(y0));
            c.LineTo(z(x1), z(y1));
        };
        trait(a.left(), a.top(), b.left(), a.top());
        trait(a.left(), a.top(), a.left(), b.top());
        trait(a.left(), a.bottom(), b.left(), a.bottom());
        trait(a.left(), a.bottom(), a.left(), b.bottom());
        trait(a.right(), a.top(), b.right(), a.top());
        trait(a.right(), a.top(), a.right(), b.top());
        trait(a.right(), a.bottom(), b.right(), a.bottom());
        trait(a.right(), a.bottom(), a.right(), b.bottom());
    }
    // The labels are measured on the printer, so that the preview places them as printed.
    TCanvas& mesure = imp.Canvas();
    c.FixeFont(marge.Police);
    if (&mesure != &c) {
        mesure.FixeFont(marge.Police);
        c.FixeHauteurFont(
            TGraphique::HauteurPoliceZoomee(c.Font().Hauteur, zoom, static_cast<double>(k), c.PixelsParPouce()));
    }
    for (int slot = 1; slot <= 3; ++slot) {
        if (!marge.AfficheEtiquette[static_cast<std::size_t>(slot)])
            continue;
        std::string texte;
        if (slot == 1)
            texte = DateHeure();
        else if (slot == 2)
            texte = "Page " + FormatEntier(page + 1);
        else if (TMassif* m = form_.Massif.get())
            texte = CheminEnCp1252(m->NomFichier);
        const int x = z(W - mesure.TextWidth(texte)), y = z(H - mesure.TextHeight(texte));
        switch (marge.PositionEtiquette[static_cast<std::size_t>(slot)]) {
        case 1: c.TextOut(0, 0, texte); break;
        case 2: c.TextOut(x, 0, texte); break;
        case 3: c.TextOut(0, y, texte); break;
        case 4: c.TextOut(x, y, texte); break;
        default: break;
        }
    }
}

namespace {

// A length of the drawing, in km once it reaches one.
std::string Etendue(double metres)
{
    return metres >= 1000 ? FormatNombre(metres / 1000, 15, 1) + " km" : FormatNombre(metres, 15, 1) + " m";
}

}  // namespace

bool GrilleImprimable(const TGraphique& vue, int colonnes, int lignes, int64_t pages, int64_t maximum)
{
    // A page too small for its margins (or a view with nothing to lay out) leaves no grid.
    if (colonnes <= 0 || lignes <= 0) {
        Invite().Avertissement(QStringLiteral("Les marges ne laissent aucune place sur la page : rien n'est imprimé."));
        return false;
    }
    // A side of INT_MAX pages is where the count stopped: the grid is larger still.
    const bool auDela = (colonnes == INT_MAX || lignes == INT_MAX) && pages >= INT_MAX;
    if (pages <= maximum && !auDela)
        return true;
    // A grid this large comes from a drawing far too wide for its scale, most often a
    // reference point typed in metres where kilometres were meant.
    const std::string combien =
        "demanderait " +
        (auDela ? std::string("plus de 2 milliards de") : FormatNombre(static_cast<long double>(pages), 19, 0)) +
        " pages : on n'en imprime pas plus de " + FormatNombre(static_cast<long double>(maximum), 19, 0) +
        " à la fois.";
    if (vue.Genre() == GenreVue::Tableau) {
        Invite().Avertissement(QString::fromStdString("Le tableau " + combien));
        return false;
    }
    Invite().Avertissement(QString::fromStdString(
        "À l'échelle 1/" + FormatEntier(vue.Echelle) + ", le dessin de " + Etendue(vue.Xmax - vue.Xmin) + " sur " +
        Etendue(vue.Ymax - vue.Ymin) + " " + combien +
        "\rChoisissez une échelle plus petite, ou vérifiez les coordonnées des points de référence."));
    return false;
}

QRect RectangleImpression3D(int largeur, int hauteur, int largeurPage, int hauteurPage)
{
    if (largeur <= 0 || hauteur <= 0)
        return {};
    const float f = static_cast<float>(
        std::min(static_cast<double>(largeurPage) / largeur, static_cast<double>(hauteurPage) / hauteur) * 0.99);
    const int w = TruncEntier(static_cast<long double>(largeur) * f);
    const int h = TruncEntier(static_cast<long double>(hauteur) * f);
    return {(largeurPage - w) / 2, (hauteurPage - h) / 2, w, h};
}

void TAfficheur::Imprime3D()
{
    TPerspective* perspective = Perspective();
    if (!perspective || !Panneau3D)
        return;
    TImprimante& imp = form_.Imprimante();
    TOutils_3D& outils = Outils3D(form_);
    const bool palette = outils.isVisible();
    outils.hide();
    perspective->PlaceCamera();
    imp.Debut();
    const QImage image = Panneau3D->grabFramebuffer();
    const QRect r =
        RectangleImpression3D(Panneau3D->width(), Panneau3D->height(), imp.LargeurPage(), imp.HauteurPage());
    imp.Canvas().StretchDraw(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), image);
    if (palette)
        outils.show();
    TermineTravail(imp);
}

// ---- preview ----

class TImageApercu : public QWidget {
public:
    explicit TImageApercu(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Image1"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    std::unique_ptr<CanvasImage> bitmap = std::make_unique<CanvasImage>(1, 1);

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, bitmap->Image());
    }
};

TPreview::TPreview(TForm1& form, QWidget* parent) : QDialog(parent), form_(form)
{
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    auto* panneau = new QWidget(this);
    panneau->setObjectName(QStringLiteral("Panel1"));
    panneau->setFixedHeight(41);
    Label1 = new QLabel(panneau);
    Label1->setObjectName(QStringLiteral("Label1"));
    Button1 = new QPushButton(QStringLiteral("Fermer"), panneau);
    Button1->setObjectName(QStringLiteral("Button1"));
    Moins = new QPushButton(QStringLiteral("<"), panneau);
    Moins->setObjectName(QStringLiteral("Moins"));
    Plus = new QPushButton(QStringLiteral(">"), panneau);
    Plus->setObjectName(QStringLiteral("Plus"));
    ScrollBar1 = new QScrollBar(Qt::Horizontal, panneau);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setMinimum(1);
    ScrollBar1->setValue(1);
    auto* l = new QHBoxLayout(panneau);
    l->addWidget(Button1);
    l->addWidget(Moins);
    l->addWidget(ScrollBar1, 1);
    l->addWidget(Plus);
    l->addWidget(Label1);
    panneau->setGeometry(0, 0, 800, 41);
    Image1 = new TImageApercu(this);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    connect(Moins, &QPushButton::clicked, this, [this] { ScrollBar1Change(-1); });
    connect(Plus, &QPushButton::clicked, this, [this] { ScrollBar1Change(1); });
    // Without a window manager the maximised state is never applied: the window would keep
    // the size of its button row and show no page.
    if (QScreen* ecran = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(ecran->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

TPreview::~TPreview() = default;

CanvasImage& TPreview::Bitmap() { return *Image1->bitmap; }

void TPreview::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TPreview::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (isVisible()) {
        const int page = ScrollBar1->value();
        FormShow();
        if (page != 1)
            ScrollBar1->setValue(page);
    }
}

void TPreview::FormShow()
{
    if (QWidget* p = findChild<QWidget*>(QStringLiteral("Panel1")))
        p->setGeometry(0, 0, width(), 41);
    const QRect cadre = frameGeometry();
    const long double Wf = cadre.width(), Hf = cadre.height();
    // The whole sheet, as the printer's paper shows the page.
    const QRect feuille = form_.Imprimante().Feuille();
    const long double Wp = std::max(1, feuille.width()), Hp = std::max(1, feuille.height());
    // A window too small for the page area still shows a page of one pixel.
    const long double lw = std::max<long double>(Wf - 28, 1), lh = std::max<long double>(Hf - 88, 1);
    int w = 1, h = 1;
    if (Wp / lw > Hp / lh) {
        Zoom = lw / Wp;
        w = static_cast<int>(lw);
        h = RoundEntier(Hp / Wp * lw);
    } else {
        Zoom = lh / Hp;
        h = static_cast<int>(lh);
        w = RoundEntier(Wp / Hp * lh);
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    Image1->bitmap = std::make_unique<CanvasImage>(w, h, form_.PixelsParPouce);
    Image1->setGeometry((static_cast<int>(Wf) - 8 - w) / 2, (static_cast<int>(Hf) - 68 - h) / 2 + 41, w, h);
    PagesX = std::max(PagesX, 1);
    PagesY = std::max(PagesY, 1);
    {
        const QSignalBlocker bloque(ScrollBar1);
        ScrollBar1->setMaximum(PagesX * PagesY);
        ScrollBar1->setEnabled(PagesX * PagesY != 1);
        ScrollBar1->setValue(1);
        ScrollBar1->setPageStep(PagesX);
    }
    ScrollBar1Change();
}

void TPreview::ScrollBar1Change(int pas)
{
    if (pas != 0) {
        const QSignalBlocker bloque(ScrollBar1);
        ScrollBar1->setValue(ScrollBar1->value() + pas);
    }
    PageCourante = ScrollBar1->value();
    CanvasImage& b = Bitmap();
    b.FixePen(Stylo{kBlanc});
    b.FixeBrush(Pinceau{kBlanc, true});
    b.Rectangle(0, 0, b.Largeur(), b.Hauteur());
    if (Vue && Vue->Graphique) {
        Sablier sablier;
        const int page = PageCourante - 1;
        TImprimante& imp = form_.Imprimante();
        const long double zoom = Zoom;
        auto z = [zoom](int px) { return RoundEntier(px * zoom); };
        // The page is drawn as printed, then laid on the sheet where the printer puts it,
        // inside its unprintable margins.
        CanvasImage feuillet(std::max(1, z(imp.LargeurPage())), std::max(1, z(imp.HauteurPage())), b.PixelsParPouce());
        Vue->Graphique->DessinePage(page % PagesX, page / PagesX, form_.Marge.Gauche, form_.Marge.Haut,
                                    Vue->OutilSouris(), feuillet, static_cast<double>(zoom));
        Vue->ImprimePage(feuillet, imp, page, form_.Marge, static_cast<double>(zoom));
        const QRect feuille = imp.Feuille();
        b.Draw(z(-feuille.left()), z(-feuille.top()), feuillet);
        if (ImprimanteMonochrome()) {
            QImage gris = b.Image().copy();
            GriseImage(gris);
            b.StretchDraw(0, 0, gris.width(), gris.height(), gris);
        }
    }
    Moins->setEnabled(PageCourante != 1);
    Plus->setEnabled(PageCourante != PagesX * PagesY);
    AfficheNumeroPage();
    Image1->update();
}

bool TPreview::ImprimanteMonochrome() { return form_.Imprimante().Plans() == 1; }

void TPreview::AfficheNumeroPage()
{
    Label1->setText(QStringLiteral("Page %1/%2").arg(PageCourante).arg(PagesX * PagesY));
}

void GriseImage(QImage& image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = image.height() - 1; y >= 0; --y) {
        auto* ligne = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = ligne[x];
            const int g = (29 * qBlue(p) + 150 * qGreen(p) + 77 * qRed(p)) >> 8;
            ligne[x] = qRgb(g, g, g);
        }
    }
}

}  // namespace karst
