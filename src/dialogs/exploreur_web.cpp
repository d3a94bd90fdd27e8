// The explorer's page style: a title band and a plan thumbnail of the open folder's
// sheets beside the list, with picking of the nearest sheets by a click.

#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

#include "dialogs/exploreur.h"
#include "platform/canvas.h"
#include "platform/texte.h"
#include "survey/nombres.h"

namespace karst {

ZoneWeb::ZoneWeb(TExploreur& e, QWidget* parent) : QWidget(parent), e_(e)
{
    bitmap_ = std::make_unique<CanvasImage>(1, 1);
}

void ZoneWeb::Redimensionne()
{
    if (bitmap_->Largeur() != std::max(1, width()) || bitmap_->Hauteur() != std::max(1, height()))
        bitmap_ = std::make_unique<CanvasImage>(std::max(1, width()), std::max(1, height()));
}

void ZoneWeb::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, bitmap_->Image());
}

void ZoneWeb::mousePressEvent(QMouseEvent* ev)
{
    e_.Zone_webMouseDown(ev->position().toPoint().x(), ev->position().toPoint().y());
}

void ZoneWeb::mouseDoubleClickEvent(QMouseEvent*) { e_.Zone_webDblClick(); }

int TExploreur::LargeurWeb() const
{
    // The splitter's left edge is the tree's right edge.
    return (width() - TreeView1->width() - 11) / 3;
}

void TExploreur::FormResize()
{
    QWidget* droite = Zone_web->parentWidget();
    Zone_web->setGeometry(0, 0, droite->width(), droite->height());
    if (hote_.PageWeb()) {
        const int gauche = std::max(0, LargeurWeb());
        ListView1->setGeometry(gauche, 70, std::max(0, droite->width() - gauche), std::max(0, droite->height() - 70));
    } else {
        ListView1->setGeometry(1, 0, std::max(0, droite->width() - 1), droite->height());
    }
    // A new bitmap is blank and the thumbnail's width follows the splitter: the page is
    // drawn again at its new size.
    Zone_web->Redimensionne();
    DessineWeb();
    Zone_web->update();
}

void TExploreur::ListView1Change() { Timer2->start(); }

void TExploreur::Timer2Timer()
{
    Timer2->stop();
    DessineWeb();
}

void TExploreur::dessineIcone(CanvasImage& c, int image)
{
    const QImage im = ImageExplorateur(image);
    auto point = [&](int x, int y) {
        const QRgb p = im.pixel(x, y);
        c.FixeBrush({static_cast<Couleur>(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16)), true});
        c.FillRect(2 * x + 15, 2 * y + 15, 2 * x + 17, 2 * y + 17);
    };
    auto blanc = [&](int x, int y) { return (im.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; };
    for (int y = 0; y < 35; ++y) {
        bool dedans = false;
        for (int x = 0; x <= 15; ++x) {
            dedans = dedans || !blanc(x, y);
            if (dedans)
                point(x, y);
        }
        dedans = false;
        for (int x = 34; x >= 16; --x) {
            dedans = dedans || !blanc(x, y);
            if (dedans)
                point(x, y);
        }
    }
}

void TExploreur::dessineFiche(CanvasImage& c, const TFiche& f)
{
    const int W = LargeurWeb();
    const int H = Zone_web->height() - 100;
    const double xmin = LimitesWeb[0], xmax = LimitesWeb[1], ymin = LimitesWeb[2], ymax = LimitesWeb[3];
    auto colonne = [&](long double x) { return RoundEntier((x - xmin) / (xmax - xmin) * W); };
    auto ligne = [&](long double y) { return 100 + RoundEntier((ymax - y) / (ymax - ymin) * H); };
    // The stations placed with the misclosure spread along each gallery (DessineWeb
    // places them first); a start at a terminus has been set back from the known end.
    for (const TGalerie* g : f.Galeries) {
        if (!g->Placee)
            continue;
        c.MoveTo(colonne(g->Depart.X), ligne(g->Depart.Y));
        for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k)
            c.LineTo(colonne(g->Station(k).X), ligne(g->Station(k).Y));
    }
}

void TExploreur::DessineWeb()
{
    QTreeWidgetItem* n = NoeudSelectionne();
    if (!hote_.PageWeb() || !n)
        return;
    Zone_web->Redimensionne();
    CanvasImage& c = Zone_web->Bitmap();
    c.FixePen({kBlanc, 1, ModeStylo::Copie, true});
    c.FixeBrush({kBlanc, true});
    c.Rectangle(0, 0, Zone_web->width(), Zone_web->height());
    c.FixePen({0xFF9900, 1, ModeStylo::Copie, true});
    c.FixeBrush({0xFF9900, true});
    c.Ellipse(2, 2, 100, 100);
    dessineIcone(c, EstCorbeille(n) ? 2 : 1);
    c.FixePen({kNoir, 1, ModeStylo::Copie, true});
    c.MoveTo(100, 51);
    c.LineTo(width(), 51);
    c.FixeBrush({kBlanc, true});
    Police p;
    p.Nom = "Arial";
    p.couleur = 0xFF9900;
    p.Hauteur = 30;
    p.Style = Police::Gras;
    c.FixeFont(p);
    // The folder's name as the tree shows it: the root's is a file name, which the model's
    // code page may not hold.
    c.TextOut(120, 20, TexteUtf8(n->text(0).toStdString()));

    TMassif* m = massif();
    const int W = LargeurWeb();
    const int H = Zone_web->height() - 100;
    auto fin = [&] {
        c.Termine();
        Zone_web->update();
    };
    if (!m || EstCorbeille(n) || W <= 0 || H <= 0) {
        fin();
        return;
    }
    const ListeFiches fiches = FichesDossier(Localisation_Noeud(n), Niveau(n));
    if (!m->PointsCalcules)
        m->PlaceTousPoints();
    TStation bas, haut;
    if (!CalculeLimites(fiches, bas, haut)) {
        fin();
        return;
    }
    double xmin = bas.X, xmax = haut.X, ymin = bas.Y, ymax = haut.Y;
    const double dx = xmax - xmin, dy = ymax - ymin;
    // The box takes the band's proportions; computed without dividing by an extent, so that
    // a straight east-west or north-south survey, or a single station, still maps.
    if (dx == 0 && dy == 0) {
        xmin -= 1;
        xmax += 1;
        const double ey = 2.0 * H / W;
        ymin -= ey / 2;
        ymax += ey / 2;
    } else if (dx * H > dy * W) {
        const double e = (dx * H / W - dy) / 2;
        ymin -= e;
        ymax += e;
    } else {
        const double e = (dy * W / H - dx) / 2;
        xmin -= e;
        xmax += e;
    }
    const double mx = (xmax - xmin) * 0.05, my = (ymax - ymin) * 0.05;
    LimitesWeb[0] = xmin - mx;
    LimitesWeb[1] = xmax + mx;
    LimitesWeb[2] = ymin - my;
    LimitesWeb[3] = ymax + my;

    c.FixePen({kNoir, 1, ModeStylo::Copie, true});
    for (const TFiche* f : fiches)
        dessineFiche(c, *f);
    const int l = ListView1->Selection();
    if (l >= 0) {
        c.FixePen({kRouge, 1, ModeStylo::Copie, true});
        if (Niveau(n) >= 4) {
            if (const TFiche* f = ListView1->Fiche(l))
                dessineFiche(c, *f);
        } else if (QTreeWidgetItem* d = Noeud_Equivalent()) {
            for (const TFiche* f : FichesDossier(Localisation_Noeud(d), Niveau(d)))
                dessineFiche(c, *f);
        }
    }
    fin();
}

void TExploreur::Zone_webMouseDown(int x, int y)
{
    QTreeWidgetItem* n = NoeudSelectionne();
    TMassif* m = massif();
    const int W = LargeurWeb();
    const int H = Zone_web->height() - 100;
    if (y < 101 || !n || EstCorbeille(n) || !m || m->Fiches.empty() || W <= 0 || H <= 0)
        return;
    const double xmin = LimitesWeb[0], xmax = LimitesWeb[1], ymin = LimitesWeb[2], ymax = LimitesWeb[3];
    const double px = static_cast<double>(x) / W * (xmax - xmin) + xmin;
    const double py = static_cast<double>(y - 100) / H * (ymin - ymax) + ymax;
    const int niveau = Niveau(n);
    bool trouve = false;
    double meilleure = 0;
    TFiche* choisie = nullptr;
    auto candidat = [&](double d, TFiche* f) {
        if (!trouve || d < meilleure) {
            trouve = true;
            meilleure = d;
            choisie = f;
        }
    };
    for (TFiche* f : FichesDossier(Localisation_Noeud(n), niveau)) {
        for (const TGalerie* g : f->Galeries) {
            if (!g->Placee)
                continue;
            double ax = g->Depart.X, ay = g->Depart.Y;
            candidat((px - ax) * (px - ax) + (py - ay) * (py - ay), f);
            for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k) {
                const double bx = g->Station(k).X, by = g->Station(k).Y;
                const double abx = bx - ax, aby = by - ay;
                const double ab2 = abx * abx + aby * aby;
                const double t = (px - ax) * abx + (py - ay) * aby;
                if (t > ab2) {
                    candidat((px - bx) * (px - bx) + (py - by) * (py - by), f);
                } else if (t >= 0 && ab2 > 0) {
                    const double v = abx * (py - ay) - aby * (px - ax);
                    candidat(v * v / ab2, f);
                }
                ax = bx;
                ay = by;
            }
        }
    }
    DonneFocus(Controle::Liste);
    if (!choisie)
        return;
    if (niveau >= 4) {
        for (int i = 0; i < ListView1->Nombre(); ++i)
            if (ListView1->Fiche(i) == choisie) {
                ListView1->Selectionne(i);
                return;
            }
        return;
    }
    const std::string nom = MajAscii(PartieAdresse(*choisie, niveau + 1).Chaine());
    for (int i = 0; i < ListView1->Nombre(); ++i)
        if (ListView1->Image(i) != 2 && MajAscii(ListView1->Texte(i)) == nom) {
            ListView1->Selectionne(i);
            return;
        }
}

void TExploreur::Zone_webDblClick()
{
    TMassif* m = massif();
    if (corbeilleOuverte() || !m || m->Fiches.empty())
        return;
    if (focus_ == Controle::Arbre) {
        if (NoeudMenu)
            SelectionneNoeud(NoeudMenu);
    } else if (focus_ == Controle::Liste) {
        ListView1DblClick();
    }
}

}  // namespace karst
