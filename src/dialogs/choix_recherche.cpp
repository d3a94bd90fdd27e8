#include "dialogs/choix_recherche.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/dialogues_saisie.h"
#include "dialogs/recherche.h"
#include "platform/canvas.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/nombres.h"

namespace karst {

namespace {

constexpr Couleur kGris = 0x00C0C0C0;

QString Texte(const TEco& e) { return DepuisCp1252(e.Chaine()); }

// Each surveyor name followed by one blank.
QString Topographes(const TFiche& f)
{
    QString t;
    for (const TEco& e : f.Topographes)
        t += Texte(e) + QLatin1Char(' ');
    return t;
}

}  // namespace

// ---- plan picker ----

ImageApercu::ImageApercu(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
    setMinimumSize(100, 100);
}

void ImageApercu::paintEvent(QPaintEvent*)
{
    if (Image) {
        QPainter p(this);
        p.drawImage(0, 0, *Image);
    }
}

void ImageApercu::mouseMoveEvent(QMouseEvent* e)
{
    emit Deplace(e->position().toPoint().x(), e->position().toPoint().y());
}

void ImageApercu::mousePressEvent(QMouseEvent* e) { mouseMoveEvent(e); }

void ImageApercu::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit Clic();
}

void ImageApercu::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit DoubleClic();
}

void ImageApercu::resizeEvent(QResizeEvent*) { emit Redimensionne(); }

TApercu::TApercu(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Apercu"));
    setProperty("HelpContext", 28);
    setWindowTitle(QStringLiteral("Recherche graphique"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    Image1 = new ImageApercu(this);
    OKBtn = NouveauBouton(QStringLiteral("Prendre"), "OKBtn", this);
    CancelBtn = NouveauBouton(QStringLiteral("Annuler"), "CancelBtn", this);
    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    // However long the picked gallery's text, the window keeps its size (a resize would
    // redraw the plan under the user's click).
    Panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(Image1, &ImageApercu::Deplace, this, [this](int x, int y) { Image1MouseMove(x, y); });
    connect(Image1, &ImageApercu::Clic, this, [this] { Image1Click(); });
    connect(Image1, &ImageApercu::DoubleClic, this, [this] { Image1DblClick(); });
    connect(Image1, &ImageApercu::Redimensionne, this, [this] { FormResize(); });

    auto* droite = new QVBoxLayout;
    droite->addWidget(OKBtn);
    droite->addWidget(CancelBtn);
    droite->addStretch();
    auto* haut = new QHBoxLayout;
    haut->addWidget(Image1, 1);
    haut->addLayout(droite);
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(haut, 1);
    colonne->addWidget(Panel1);
    resize(500, 400);
    OKBtn->setEnabled(false);
}

TApercu::~TApercu() = default;

bool TApercu::DefinitListe(const ListeFiches& fiches)
{
    Fiches = fiches;
    return CalculeLimites(Fiches, PointMin, PointMax);
}

int TApercu::PixelX(long double x) const
{
    return RoundEntier((x - Xmin) / (Xmax - Xmin) * (canvas_ ? canvas_->Largeur() : 1));
}

int TApercu::PixelY(long double y) const
{
    return RoundEntier((Ymax - y) / (Ymax - Ymin) * (canvas_ ? canvas_->Hauteur() : 1));
}

void TApercu::FormResize()
{
    if (!canvas_ || (canvas_->Largeur() == Image1->width() && canvas_->Hauteur() == Image1->height()))
        return;
    // The pick survives: drawn again at the new size, still highlighted and still taken by
    // "Prendre".
    trace();
    if (Surlignee)
        Surligne(false);
}

void TApercu::Dessine()
{
    Panel1->clear();
    Surlignee = false;
    OKBtn->setEnabled(false);
    // Wide enough for the status text of every gallery listed, as far as the screen goes,
    // before the caver picks: a pick does not resize the window under the click.
    const QFontMetrics fm(Panel1->font());
    int texte = 0;
    for (const TFiche* f : Fiches)
        for (const TGalerie* g : f->Galeries)
            if (g && g->Placee)
                texte = std::max(
                    texte, fm.horizontalAdvance(DepuisCp1252(f->LibelleGalerie(g->Depart, g->Arrivee, "  ", " -> "))));
    const QMargins m = layout()->contentsMargins();
    const int voulu =
        texte + 2 * (Panel1->frameWidth() + fm.horizontalAdvance(QLatin1Char('x'))) + m.left() + m.right();
    const int place = screen()->availableGeometry().width() - 20;
    if (voulu > width() && place > width())
        resize(std::min(voulu, place), height());
    trace();
}

void TApercu::trace()
{
    const int l = std::max(1, Image1->width()), h = std::max(1, Image1->height());
    if (!canvas_ || canvas_->Largeur() != l || canvas_->Hauteur() != h)
        canvas_ = std::make_unique<CanvasImage>(l, h);
    canvas_->FixeBrush(Pinceau{kBlanc, true});
    canvas_->FillRect(0, 0, l, h);

    Xmin = static_cast<double>(PointMin.X);
    Xmax = static_cast<double>(PointMax.X);
    Ymin = static_cast<double>(PointMin.Y);
    Ymax = static_cast<double>(PointMax.Y);
    // A single station, or stations on one line, still get a window around them.
    if (!(Xmax - Xmin > 1e-6)) {
        Xmin -= 1;
        Xmax += 1;
    }
    if (!(Ymax - Ymin > 1e-6)) {
        Ymin -= 1;
        Ymax += 1;
    }
    const double r = ((Xmax - Xmin) / (Ymax - Ymin)) * (static_cast<double>(h) / l);
    if (r <= 1) {
        const double d = (1 / r - 1) * (Xmax - Xmin) / 2;
        Xmin -= d;
        Xmax += d;
    } else {
        const double d = (r - 1) * (Ymax - Ymin) / 2;
        Ymin -= d;
        Ymax += d;
    }
    const double my = 0.05 * (Ymax - Ymin);
    Ymin -= my;
    Ymax += my;
    const double mx = 0.05 * (Xmax - Xmin);
    Xmin -= mx;
    Xmax += mx;

    for (const TFiche* f : Fiches)
        for (const TGalerie* g : f->Galeries) {
            if (!g || !g->Placee)
                continue;
            canvas_->FixeCouleurPen(GriserCoupe && g->DansCoupe ? kGris : kNoir);
            traceGalerie(*g);
        }
    canvas_->FixeCouleurPen(kNoir);
    Image1->Image = &canvas_->Image();
    Image1->update();
}

void TApercu::Image1DblClick()
{
    if (OKBtn->isEnabled())
        accept();
}

void TApercu::traceGalerie(const TGalerie& g)
{
    long double cx = 0, cy = 0;
    const long double sommeL = g.SommeL;
    if (!g.Depart.Terminus && !g.Arrivee.Terminus && sommeL != 0) {
        cx = (static_cast<long double>(g.Arrivee.X) - g.Depart.X - g.SommeDX) / sommeL;
        cy = (static_cast<long double>(g.Arrivee.Y) - g.Depart.Y - g.SommeDY) / sommeL;
    }
    long double x0 = g.Depart.X, y0 = g.Depart.Y;
    if (g.Depart.Terminus) {
        x0 = static_cast<long double>(g.Arrivee.X) - g.SommeDX;
        y0 = static_cast<long double>(g.Arrivee.Y) - g.SommeDY;
    }
    canvas_->MoveTo(PixelX(x0), PixelY(y0));
    long double s = 0;
    for (int k = 1; k <= g.NbVisees; ++k) {
        const TVisee* v = g.Visee(k);
        if (!v)
            continue;
        s += v->LongueurMetres();
        canvas_->LineTo(PixelX(x0 + v->X + cx * s), PixelY(y0 + v->Y + cy * s));
    }
}

void TApercu::Surligne(bool efface)
{
    if (!canvas_ || FicheChoisie >= Fiches.size())
        return;
    const TFiche& f = *Fiches[FicheChoisie];
    if (GalerieChoisie >= f.Galeries.size() || !f.Galeries[GalerieChoisie])
        return;
    const TGalerie& g = *f.Galeries[GalerieChoisie];
    if (!efface) {
        canvas_->FixeCouleurPen(kRouge);
        Panel1->setText(DepuisCp1252(f.LibelleGalerie(g.Depart, g.Arrivee, "  ", " -> ")));
    }
    if (g.Placee)
        traceGalerie(g);
    canvas_->FixeCouleurPen(kNoir);
    Image1->Image = &canvas_->Image();
    Image1->update();
}

void TApercu::Image1MouseMove(int x, int y)
{
    SourisX = x;
    SourisY = y;
}

void TApercu::Image1Click()
{
    if (!canvas_)
        return;
    if (Surlignee)
        Surligne(true);
    Surlignee = false;
    const long double cx = static_cast<long double>(SourisX) / canvas_->Largeur() * (Xmax - Xmin) + Xmin;
    const long double cy = static_cast<long double>(SourisY) / canvas_->Hauteur() * (Ymin - Ymax) + Ymax;
    Trouve = false;
    long double meilleure = 0;
    for (std::size_t i = 0; i < Fiches.size(); ++i) {
        const TFiche& f = *Fiches[i];
        for (std::size_t j = 0; j < f.Galeries.size(); ++j) {
            const TGalerie* g = f.Galeries[j];
            if (!g || !g->Placee || (GriserCoupe && g->DansCoupe))
                continue;
            auto essaie = [&](long double d) {
                if (!Trouve || d < meilleure) {
                    meilleure = d;
                    FicheChoisie = static_cast<uint16_t>(i);
                    GalerieChoisie = static_cast<uint16_t>(j);
                    Trouve = true;
                }
            };
            long double ax = g->Depart.X, ay = g->Depart.Y;
            essaie((ax - cx) * (ax - cx) + (ay - cy) * (ay - cy));
            const int n = std::min<int>(g->NbVisees, g->NbStations());
            for (int k = 1; k <= n; ++k) {
                const long double bx = g->Station(k).X, by = g->Station(k).Y;
                const long double t = (cx - ax) * (bx - ax) + (cy - ay) * (by - ay);
                const long double l = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
                if (t > l)
                    essaie((bx - cx) * (bx - cx) + (by - cy) * (by - cy));
                else if (t > 0 && l > 0) {
                    const long double v = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
                    essaie(v * v / l);
                }
                ax = bx;
                ay = by;
            }
        }
    }
    // Nothing to pick (every gallery greyed): nothing is highlighted and "Prendre" stays off.
    if (!Trouve)
        return;
    Surlignee = true;
    Surligne(false);
    OKBtn->setEnabled(true);
    OKBtn->setFocus();
}

// ---- simple choice ----

TRechSimp::TRechSimp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RechSimp"));
    setProperty("HelpContext", 27);
    setWindowTitle(QStringLiteral("Choix simple"));
    auto* groupe = new QGroupBox(QStringLiteral("Proposition"), this);
    groupe->setObjectName(QStringLiteral("GroupBox1"));
    StringGrid1 = new QTableWidget(0, 6, groupe);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(15 + 4);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(50);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    (new QVBoxLayout(groupe))->addWidget(StringGrid1);
    Button1 = NouveauBouton(QStringLiteral("&Visualiser"), "Button1", this);
    Button2 = NouveauBouton(QStringLiteral("Valider"), "Button2", this);
    Button2->setDefault(true);
    Button3 = NouveauBouton(QStringLiteral("Annuler"), "Button3", this);
    connect(Button1, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int c) { AjusteColonne(StringGrid1, c, 0); });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { StringGrid1DblClick(r); });
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(groupe, 1);
    colonne->addLayout(LigneBoutons({Button1, Button2, Button3}));
    resize(560, 320);
    Apercu = new TApercu(this);
}

void TRechSimp::Remplit(int mode, const ListeFiches& fiches, TMassif* massif)
{
    Mode = static_cast<uint16_t>(mode);
    Fiches = fiches;
    Points.clear();
    Massif = massif;
    Button1->show();
    if (mode == 4) {
        Button1->setToolTip(QStringLiteral("Visualise les fiches"));
        Button2->setEnabled(true);
        Button2->setToolTip(QStringLiteral("Utilise la fiche choisie"));
    } else {
        Button1->setToolTip(QStringLiteral("Visualise la fiche choisie"));
        Button2->setEnabled(false);
        Button2->setToolTip(QString());
    }
    StringGrid1->clear();
    StringGrid1->setColumnCount(6);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Système"), QStringLiteral("Cavité"),
                                            QStringLiteral("Réseau"), QStringLiteral("Lieu"), QStringLiteral("Date"),
                                            QStringLiteral("Topographes")});
    StringGrid1->setRowCount(static_cast<int>(fiches.size()));
    for (int r = 0; r < static_cast<int>(fiches.size()); ++r) {
        const TFiche& f = *fiches[static_cast<std::size_t>(r)];
        const QString cellules[] = {Texte(f.Systeme), Texte(f.Cavite),      Texte(f.Reseau),
                                    Texte(f.Lieu),    DepuisCp1252(f.Date), Topographes(f)};
        for (int c = 0; c < 6; ++c)
            StringGrid1->setItem(r, c, new QTableWidgetItem(cellules[c]));
    }
    ajusteLargeurs();
    if (fiches.empty()) {
        Button1->setEnabled(false);
        Button2->setEnabled(false);
    } else
        Button1->setEnabled(true);
    StringGrid1->clearSelection();
    StringGrid1->setCurrentItem(nullptr);
}

void TRechSimp::Remplit(const std::vector<const TPointTopo*>& points)
{
    Mode = 2;
    Fiches.clear();
    Points = points;
    Button1->hide();
    Button2->setEnabled(!points.empty());
    Button2->setToolTip(QStringLiteral("Utilise la galerie allant au point"));
    StringGrid1->clear();
    StringGrid1->setColumnCount(2);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Point"), QStringLiteral("Indice")});
    StringGrid1->setRowCount(static_cast<int>(points.size()));
    for (int r = 0; r < static_cast<int>(points.size()); ++r) {
        const TPointTopo& p = *points[static_cast<std::size_t>(r)];
        StringGrid1->setItem(r, 0, new QTableWidgetItem(DepuisCp1252(p.NomOuTerminus())));
        StringGrid1->setItem(
            r, 1, new QTableWidgetItem(p.Terminus ? QString() : QString::fromStdString(FormatEntier(p.Indice))));
    }
    StringGrid1->clearSelection();
    StringGrid1->setCurrentItem(nullptr);
}

void TRechSimp::ajusteLargeurs()
{
    // The widest text of each column, its title included, plus 10 pixels.
    const QFontMetrics m(StringGrid1->font());
    for (int c = 0; c < StringGrid1->columnCount(); ++c) {
        int largeur = m.horizontalAdvance(StringGrid1->horizontalHeaderItem(c)->text());
        for (int r = 0; r < StringGrid1->rowCount(); ++r)
            largeur = std::max(largeur, m.horizontalAdvance(StringGrid1->item(r, c)->text()));
        StringGrid1->setColumnWidth(c, largeur + 10);
    }
}

void TRechSimp::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The window widens to show every column, as far as the screen allows.
    int colonnes = 0;
    for (int c = 0; c < StringGrid1->columnCount(); ++c)
        colonnes += StringGrid1->columnWidth(c);
    const int autour = width() - StringGrid1->viewport()->width();
    const int voulue = colonnes + autour + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, StringGrid1);
    if (const QScreen* ecran = screen(); ecran && width() < voulue)
        resize(std::min(voulue, ecran->availableGeometry().width() - (frameGeometry().width() - width())), height());
    GardeDansEcran(*this);
    // The keys go to the grid, from its first row; nothing is selected, so that "Visualiser"
    // still shows every sheet.
    if (StringGrid1->rowCount() > 0)
        StringGrid1->selectionModel()->setCurrentIndex(StringGrid1->model()->index(0, 0),
                                                       QItemSelectionModel::NoUpdate);
    StringGrid1->setFocus();
}

void TRechSimp::BitBtn1Click()
{
    Choix = static_cast<int16_t>(std::max(0, StringGrid1->currentRow()));
    Galerie = -1;
    accept();
}

bool TRechSimp::visualise(int haut, int bas)
{
    if (Massif && !Massif->PointsCalcules)
        Massif->PlaceTousPoints();
    ListeFiches choisies(Fiches.begin() + haut, Fiches.begin() + bas + 1);
    if (!Apercu->DefinitListe(choisies)) {
        Invite().Avertissement(QStringLiteral("Pas de fiches calculées."));
        return false;
    }
    Apercu->GriserCoupe = Mode == 3;
    Apercu->Dessine();
    if (ExecuteModal(*Apercu) != QDialog::Accepted)
        return false;
    Choix = static_cast<int16_t>(haut + Apercu->FicheChoisie);
    Galerie = static_cast<int16_t>(Apercu->GalerieChoisie);
    return true;
}

void TRechSimp::BitBtn2Click()
{
    if (Fiches.empty())
        return;
    int haut = 0, bas = static_cast<int>(Fiches.size()) - 1;
    const QList<QTableWidgetSelectionRange> plages = StringGrid1->selectedRanges();
    if (!plages.isEmpty()) {
        haut = plages.first().topRow();
        bas = plages.first().bottomRow();
    }
    StringGrid1->clearSelection();
    StringGrid1->setRangeSelected(QTableWidgetSelectionRange(haut, 0, bas, StringGrid1->columnCount() - 1), true);
    if (visualise(haut, bas))
        accept();
}

void TRechSimp::StringGrid1DblClick(int ligne)
{
    if (ligne < 0 || ligne >= StringGrid1->rowCount())
        return;
    if (Button2->isEnabled()) {
        Choix = static_cast<int16_t>(ligne);
        Galerie = -1;
        accept();
    } else if (Mode != 2 && visualise(ligne, ligne))
        accept();
}

// ---- multiple choice ----

TRechMulti::TRechMulti(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RechMulti"));
    setProperty("HelpContext", 26);
    setWindowTitle(QStringLiteral("Sélection de plusieurs fiches"));
    auto liste = [this](const char* nom) {
        auto* l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(nom));
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setMouseTracking(true);
        l->viewport()->setMouseTracking(true);
        l->viewport()->installEventFilter(this);
        return l;
    };
    SrcList = liste("SrcList");
    DstList = liste("DstList");
    BoutonsTransfert(*this);
    OkBtn = NouveauBouton(QStringLiteral("Terminer"), "OkBtn", this);
    OkBtn->setDefault(true);
    CancelBtn = NouveauBouton(QStringLiteral("Annuler"), "CancelBtn", this);
    Details = new QLabel(this);
    Details->setObjectName(QStringLiteral("Details"));
    Details->setFrameShape(QFrame::Panel);
    Details->setFrameShadow(QFrame::Sunken);
    connect(IncludeBtn, &QPushButton::clicked, this, [this] { IncludeBtnClick(); });
    connect(IncAllBtn, &QPushButton::clicked, this, [this] { IncAllBtnClick(); });
    connect(ExcludeBtn, &QPushButton::clicked, this, [this] { ExcludeBtnClick(); });
    connect(ExAllBtn, &QPushButton::clicked, this, [this] { ExcAllBtnClick(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* gauche = new QVBoxLayout;
    auto* titreSrc = new QLabel(QStringLiteral("Fiches &proposées"), this);
    titreSrc->setBuddy(SrcList);
    gauche->addWidget(titreSrc);
    gauche->addWidget(SrcList);
    auto* milieu = new QVBoxLayout;
    milieu->addStretch();
    for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn})
        milieu->addWidget(b);
    milieu->addStretch();
    auto* droite = new QVBoxLayout;
    auto* titreDst = new QLabel(QStringLiteral("Fiches &retenues"), this);
    titreDst->setBuddy(DstList);
    droite->addWidget(titreDst);
    droite->addWidget(DstList);
    auto* listes = new QHBoxLayout;
    listes->addLayout(gauche, 1);
    listes->addLayout(milieu);
    listes->addLayout(droite, 1);
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(listes, 1);
    colonne->addLayout(LigneBoutons({OkBtn, CancelBtn}));
    colonne->addWidget(Details);
    resize(600, 360);
}

void TRechMulti::Remplit(const ListeFiches& fiches)
{
    SrcList->clear();
    DstList->clear();
    Details->clear();
    decritListe_ = nullptr;
    decritItem_ = nullptr;
    for (TFiche* f : fiches) {
        auto* item = new QListWidgetItem(DepuisCp1252(f->Adresse()), SrcList);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(f)));
    }
    IncludeBtn->setEnabled(true);
    IncAllBtn->setEnabled(true);
    ExcludeBtn->setEnabled(false);
    ExAllBtn->setEnabled(false);
}

ListeFiches TRechMulti::Retenues() const
{
    ListeFiches r;
    for (int i = 0; i < DstList->count(); ++i)
        r.push_back(static_cast<TFiche*>(DstList->item(i)->data(Qt::UserRole).value<void*>()));
    return r;
}

int TRechMulti::GetFirstSelection(QListWidget* liste)
{
    for (int i = 0; i < liste->count(); ++i)
        if (liste->item(i)->isSelected())
            return i;
    return -1;
}

void TRechMulti::MoveSelected(QListWidget* source, QListWidget* destination)
{
    // From the last item to the first: several items arrive in reverse order.
    for (int i = source->count() - 1; i >= 0; --i)
        if (source->item(i)->isSelected()) {
            QListWidgetItem* item = source->takeItem(i);
            if (item == decritItem_)
                decritItem_ = nullptr;
            item->setSelected(false);
            destination->addItem(item);
        }
}

void TRechMulti::SetItem(QListWidget* liste, int index)
{
    liste->setFocus();
    liste->clearSelection();
    if (liste->count() == 0)
        return;
    if (index < 0)
        index = 0;
    if (index >= liste->count())
        index = liste->count() - 1;
    liste->item(index)->setSelected(true);
    liste->setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

void TRechMulti::SetButtons() { ActiveTransferts(*this); }

void TRechMulti::IncludeBtnClick()
{
    const int index = GetFirstSelection(SrcList);
    MoveSelected(SrcList, DstList);
    SetButtons();
    SetItem(SrcList, index);
}

void TRechMulti::ExcludeBtnClick()
{
    const int index = GetFirstSelection(DstList);
    MoveSelected(DstList, SrcList);
    SetButtons();
    SetItem(DstList, index);
}

void TRechMulti::MoveAll(QListWidget* source, QListWidget* destination)
{
    while (source->count() > 0)
        destination->addItem(source->takeItem(0));
    destination->clearSelection();
    SetButtons();
    SetItem(source, 0);
}

void TRechMulti::IncAllBtnClick() { MoveAll(SrcList, DstList); }

void TRechMulti::ExcAllBtnClick() { MoveAll(DstList, SrcList); }

void TRechMulti::Decrit(QListWidget* liste, QListWidgetItem* item)
{
    if (!item || (liste == decritListe_ && item == decritItem_))
        return;
    decritListe_ = liste;
    decritItem_ = item;
    const auto* f = static_cast<const TFiche*>(item->data(Qt::UserRole).value<void*>());
    Details->setText(DepuisCp1252(f->Date) + QStringLiteral(" -> ") + Topographes(*f));
}

void TRechMulti::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    SetButtons();
}

bool TRechMulti::eventFilter(QObject* objet, QEvent* evenement)
{
    if (evenement->type() == QEvent::MouseMove)
        for (QListWidget* l : {SrcList, DstList})
            if (objet == l->viewport())
                Decrit(l, l->itemAt(static_cast<QMouseEvent*>(evenement)->position().toPoint()));
    return QDialog::eventFilter(objet, evenement);
}

// ---- entry points ----

Recherches::Recherches()
    : BaseRecherche(std::make_unique<TBaseRecherche>()), RechSimp(std::make_unique<TRechSimp>()),
      RechMulti(std::make_unique<TRechMulti>())
{}

Recherches::~Recherches() = default;

bool Recherches::RechercheSimple(const ListeFiches& liste, TMassif* massif, TFiche*& choisie, int& galerie,
                                 const std::string& systeme, const std::string& cavite, const std::string& reseau,
                                 const std::string& lieu, const std::string& point)
{
    ListeFiches resultat;
    BaseRecherche->Initialise(&liste, &resultat, point, systeme, cavite, reseau, lieu);
    if (ExecuteModal(*BaseRecherche) == QDialog::Rejected || resultat.empty())
        return false;
    RechSimp->Remplit(galerie == -2 ? 3 : galerie == -1 ? 4 : 1, resultat, massif);
    if (ExecuteModal(*RechSimp) != QDialog::Accepted)
        return false;
    if (RechSimp->Choix < 0 || static_cast<std::size_t>(RechSimp->Choix) >= resultat.size())
        return false;
    choisie = resultat[static_cast<std::size_t>(RechSimp->Choix)];
    galerie = RechSimp->Galerie;
    return true;
}

bool Recherches::RechercheMultiple(const ListeFiches& liste, ListeFiches& choisies)
{
    ListeFiches resultat;
    BaseRecherche->Initialise(&liste, &resultat, {}, {}, {}, {}, {});
    if (ExecuteModal(*BaseRecherche) == QDialog::Rejected || resultat.empty())
        return false;
    RechMulti->Remplit(resultat);
    if (ExecuteModal(*RechMulti) != QDialog::Accepted)
        return false;
    choisies = RechMulti->Retenues();
    return true;
}

int Recherches::ChoixStation(const std::vector<const TPointTopo*>& points)
{
    RechSimp->Remplit(points);
    if (ExecuteModal(*RechSimp) != QDialog::Accepted)
        return -1;
    const int c = RechSimp->Choix;
    return c >= 0 && c < static_cast<int>(points.size()) ? c : -1;
}

}  // namespace karst
