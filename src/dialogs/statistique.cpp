#include "dialogs/statistique.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/canvas.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/nombres.h"

namespace karst {

TStatistique* Statistique = nullptr;

namespace {

// The button face of the classic desktop, which the rose is painted on.
constexpr Couleur kFaceBouton = 0xF0F0F0;

QString Nombre(long long n) { return QString::fromStdString(FormatEntier(n)); }

std::string Trois(int n)
{
    std::string s = FormatEntier(n);
    while (s.size() < 3)
        s.insert(s.begin(), '0');
    return s;
}

}  // namespace

TStatistique::TStatistique(TMassif& massif, QWidget* parent) : QDialog(parent), massif_(massif)
{
    setObjectName(QStringLiteral("Statistique"));
    setWindowTitle(QStringLiteral("Statistiques"));
    QFont f = font();
    f.setBold(true);
    setFont(f);
    auto* l = new QVBoxLayout(this);
    auto etiquette = [&](const char* nom) {
        auto* e = new QLabel(this);
        e->setObjectName(QString::fromLatin1(nom));
        l->addWidget(e);
        return e;
    };
    Fiche = etiquette("Fiche");
    Galerie = etiquette("Galerie");
    Visee = etiquette("Visee");
    Dev = etiquette("Dev");
    Prem = etiquette("Prem");
    Sup = etiquette("Sup");
    Inf = etiquette("Inf");
    auto* boutons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Rosace ..."), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(QStringLiteral("Répartition des directions"));
    boutons->addWidget(Button1);
    boutons->addWidget(Button2);
    l->addLayout(boutons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &TStatistique::Button2Click);
}

TStatistique::~TStatistique()
{
    if (Statistique == this)
        Statistique = nullptr;
}

void TStatistique::FormShow()
{
    if (!massif_.PointsCalcules)
        massif_.PlaceTousPoints();
    long double D = 0, P = 0;
    long long G = 0, V = 0;
    long double zmax = -1000000.0L, zmin = 1000000.0L;
    auto altitude = [&](long double z) {
        if (z > zmax)
            zmax = z;
        if (z < zmin)
            zmin = z;
    };
    for (const TFiche* f : Fiches) {
        if (!f)
            continue;
        P += f->Premiere;
        for (const TGalerie* g : f->Galeries) {
            ++G;
            V += g->NbVisees;
            if (g->Placee) {
                altitude(g->Depart.Z);
                for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k)
                    altitude(g->Station(k).Z);
            }
            for (int i = 1; i <= g->NbVisees; ++i)
                if (const TVisee* v = g->Visee(i))
                    D +=
                        v->AvecCorrDeveloppement ? static_cast<long double>(v->CorrDeveloppement) : v->LongueurMetres();
        }
    }
    Fiche->setText(QStringLiteral("Nombre de fiches : ") + Nombre(static_cast<long long>(Fiches.size())));
    Galerie->setText(QStringLiteral("Nombre de galerie : ") + Nombre(G));
    Visee->setText(QStringLiteral("Nombre de visée : ") + Nombre(V));
    Dev->setText(QStringLiteral("Développement (m) : ") + QString::fromStdString(FormatGeneral(D, 7)));
    Prem->setText(QStringLiteral("Première (m) : ") + QString::fromStdString(FormatGeneral(P, 7)));
    Inf->setText(QStringLiteral("Altitude inférieure (m) : ") + QString::fromStdString(FormatGeneral(zmin, 6)));
    Sup->setText(QStringLiteral("Altitude supérieure (m) : ") + QString::fromStdString(FormatGeneral(zmax, 6)));
}

int TStatistique::Montre()
{
    TStatistique* avant = Statistique;
    Statistique = this;
    FormShow();
    const int r = ExecuteModal(*this);
    Statistique = avant;
    return r;
}

void TStatistique::Button2Click() { TfrmRose::Affiche(massif_, this); }

// ---- the rose ----

ImageRose::ImageRose(TfrmRose& rose, QWidget* parent) : QWidget(parent), rose_(rose)
{
    setObjectName(QStringLiteral("imgRose"));
    setMouseTracking(true);
    setMinimumSize(200, 200);
}

void ImageRose::paintEvent(QPaintEvent*)
{
    if (!rose_.Bitmap)
        return;
    QPainter p(this);
    p.drawImage(0, 0, rose_.Bitmap->Image());
}

void ImageRose::resizeEvent(QResizeEvent*) { rose_.DrawRose(); }

void ImageRose::mouseMoveEvent(QMouseEvent* e)
{
    rose_.ShowPie(e->position().toPoint().x(), e->position().toPoint().y());
}

TfrmRose::TfrmRose(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRose"));
    setWindowTitle(QStringLiteral("Rose des vents"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    imgRose = new ImageRose(*this, this);
    l->addWidget(imgRose, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    l->addWidget(StatusBar1);
    resize(400, 430);
}

TfrmRose::~TfrmRose() = default;

void TfrmRose::Affiche(TMassif&, QWidget* parent)
{
    TfrmRose r(parent);
    r.ComputeRose();
    ExecuteModal(r);
}

void TfrmRose::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ComputeRose();
}

int TfrmRose::SecteurAzimut(long double azimut, int unite)
{
    long double degres = RadiansEnDegres(AzimutEnRadians(azimut, unite));
    // The round trip through radians leaves a whole bearing a hair below itself (200
    // comes back as 199.999...), which truncation would put in the sector below.
    const long double entier = Round(degres);
    if (std::fabs(degres - entier) < 1e-9L)
        degres = entier;
    long long b = static_cast<long long>(Trunc(degres)) % 360;
    // An azimuth below zero counts in the sector of the same direction.
    if (b < 0)
        b += 360;
    return static_cast<int>(b / 10);
}

void TfrmRose::ComputeRose()
{
    Secteurs.fill(0);
    TotalVisees = 0;
    if (Statistique)
        for (const TFiche* f : Statistique->Fiches) {
            if (!f)
                continue;
            for (const TGalerie* g : f->Galeries)
                for (int i = 1; i <= g->NbVisees; ++i) {
                    const TVisee* v = g->Visee(i);
                    if (!v || !(v->Longueur > 0.00001L) || !(v->Horizontale > 0.00001L))
                        continue;
                    const int s = SecteurAzimut(v->Azimut, v->UniteAzimut);
                    const int oppose = (s + 18) % 36;
                    const long double p = v->Pente;
                    if (p < -0.00001L) {
                        Secteurs[static_cast<std::size_t>(s)] += 2;
                    } else if (p > 0.00001L) {
                        Secteurs[static_cast<std::size_t>(oppose)] += 2;
                    } else {
                        Secteurs[static_cast<std::size_t>(s)] += 1;
                        Secteurs[static_cast<std::size_t>(oppose)] += 1;
                    }
                    ++TotalVisees;
                }
        }
    DrawRose();
}

void TfrmRose::DrawRose()
{
    const int w = std::max(1, imgRose->width()), h = std::max(1, imgRose->height());
    Bitmap = std::make_unique<CanvasImage>(w, h);
    CanvasImage& c = *Bitmap;
    Police police;
    police.Nom = "Arial";
    police.Hauteur = -11;
    c.FixeFont(police);
    c.FixePen({kFaceBouton, 1, ModeStylo::Copie, true});
    c.FixeBrush({kFaceBouton, true});
    c.FillRect(0, 0, w, h);

    const int M = *std::max_element(Secteurs.begin(), Secteurs.end());
    const int cx = w / 2, cy = h / 2;
    auto rayon = [&](long double degres, long double longueur, bool arrondi) {
        const long double a = DegresEnRadians(degres);
        const long double x = longueur * std::cos(a), y = longueur * std::sin(a);
        return arrondi ? std::pair{cx + RoundEntier(x), cy + RoundEntier(y)}
                       : std::pair{cx + TruncEntier(x), cy + TruncEntier(y)};
    };

    // The bearing labels, every 30 degrees, the four points in bold.
    struct Etiquette {
        int angle;
        std::string texte;
        Police police;
        int largeur, hauteur;
    };
    std::vector<Etiquette> etiquettes;
    for (int b = 0; b < 360; b += 30) {
        Etiquette e{b,
                    b == 0     ? "Nord"
                    : b == 90  ? "Est"
                    : b == 180 ? "Sud"
                    : b == 270 ? "Ouest"
                               : Trois(b) + kDegre,
                    police, 0, 0};
        if (b % 90 == 0)
            e.police.Style = Police::Gras;
        c.FixeFont(e.police);
        e.largeur = c.TextWidth(e.texte);
        e.hauteur = c.TextHeight(e.texte);
        etiquettes.push_back(e);
    }
    c.FixeFont(police);
    const int ecart = c.TextWidth("123");
    auto place = [&](const Etiquette& e, int R) {
        const auto [xt, yt] = rayon(e.angle - 90, R + ecart, false);
        return QRect(xt - e.largeur / 2, yt - e.largeur / 2, e.largeur, e.hauteur);
    };
    // The labels stay whole within the window: the rose shrinks by what the farthest one
    // would overhang.
    int R = std::min(cx, cy) - c.TextWidth("Ouest");
    while (R > 0) {
        int debord = 0;
        for (const Etiquette& e : etiquettes) {
            const QRect r = place(e, R);
            debord = std::max({debord, -r.left(), r.right() + 1 - w, -r.top(), r.bottom() + 1 - h});
        }
        if (debord <= 0)
            break;
        R -= debord;
    }
    Etiquettes.clear();
    if (R <= 0) {
        c.Termine();
        imgRose->update();
        return;
    }
    c.FixePen({kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush({kBlanc, true});
    c.Ellipse(cx - R, cy - R, cx + R, cy + R);

    c.FixeBrush({0xFFFF00, true});
    // With no shot counted the rose stays empty.
    if (M > 0)
        for (int k = 0; k < 36; ++k) {
            const int a = RoundEntier(static_cast<long double>(Secteurs[static_cast<std::size_t>(k)]) * R / M);
            if (a <= 0)
                continue;
            const auto [x1, y1] = rayon(10 * k - 80, a, false);
            const auto [x2, y2] = rayon(10 * k - 90, a, true);
            c.Pie(cx - a, cy - a, cx + a, cy + a, x1, y1, x2, y2);
        }

    c.FixeBrushPlein(false);
    c.FixePen({kFaceBouton, 1, ModeStylo::Copie, true});
    for (const Etiquette& e : etiquettes) {
        const auto [xs, ys] = rayon(e.angle - 90, R, true);
        c.MoveTo(cx, cy);
        c.LineTo(xs, ys);
        c.FixeFont(e.police);
        const QRect r = place(e, R);
        c.TextOut(r.left(), r.top(), e.texte);
        Etiquettes.push_back(r);
    }
    c.FixeFont(police);
    c.FixePen({kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush({kBlanc, true});
    const int r = TruncEntier(R * 0.03L);
    c.Ellipse(cx - r, cy - r, cx + r, cy + r);
    c.Termine();
    imgRose->update();
}

QString TfrmRose::TextePointe(int x, int y, int cx, int cy) const
{
    long double cap = 0;
    if (!(x == cx && y <= cy)) {
        cap = RadiansEnDegres(std::atan2(static_cast<long double>(x - cx), static_cast<long double>(cy - y)));
        if (cap <= 0)
            cap += 360;
    }
    const int s = std::min(35, TruncEntier(cap / 10));
    const int n = Secteurs[static_cast<std::size_t>(s)];
    // With no shot counted the share is 0.
    const int pourcent = TotalVisees > 0 ? n * 50 / TotalVisees : 0;
    return QString::fromStdString(Trois(TruncEntier(cap))) +
           QStringLiteral("° -> %1 visées sur %2 (%3%)").arg(n / 2).arg(TotalVisees).arg(pourcent);
}

void TfrmRose::ShowPie(int x, int y)
{
    StatusBar1->showMessage(TextePointe(x, y, imgRose->width() / 2, imgRose->height() / 2));
}

}  // namespace karst
