#include "shell/icones.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

// The resource file is built into the static library: nothing else would pull it in.
static void ChargeRessources() { Q_INIT_RESOURCE(karstomat); }

namespace karst {

namespace {

constexpr int kCote = 24;

QPixmap Toile()
{
    QPixmap pm(kCote, kCote);
    pm.fill(Qt::transparent);
    return pm;
}

// A survey line: shots joined at their stations.
void Cheminement(QPainter& p, const QPolygonF& stations, const QColor& couleur)
{
    p.setPen(QPen(couleur, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(stations);
    p.setPen(Qt::NoPen);
    p.setBrush(couleur.darker(150));
    for (const QPointF& s : stations)
        p.drawEllipse(s, 1.6, 1.6);
}

}  // namespace

QIcon IconeTheme(const char* nom, const QString& legende)
{
    QIcon icone = QIcon::fromTheme(QString::fromLatin1(nom));
    if (!icone.isNull())
        return icone;
    QPixmap pm = Toile();
    QPainter p(&pm);
    p.setPen(QColor(40, 60, 110));
    p.setBrush(QColor(225, 232, 245));
    p.drawRoundedRect(1, 1, 22, 22, 4, 4);
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(1, 1, 22, 22), Qt::AlignCenter, legende.left(2));
    p.end();
    return QIcon(pm);
}

QIcon IconeDessinee(Dessin d)
{
    QPixmap pm = Toile();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor bleu(40, 80, 160), terre(140, 90, 40), gris(90, 90, 90);
    switch (d) {
    case Dessin::Plan:
        // A network seen from above, with a north arrow.
        Cheminement(p, QPolygonF(QList<QPointF>{{3, 20}, {8, 13}, {14, 16}, {19, 9}}), bleu);
        Cheminement(p, QPolygonF(QList<QPointF>{{8, 13}, {6, 6}}), bleu);
        p.setPen(QPen(gris, 1));
        p.drawLine(QPointF(20.5, 7), QPointF(20.5, 1.5));
        p.setBrush(gris);
        p.drawPolygon(QPolygonF(QList<QPointF>{{20.5, 1}, {18.5, 4.5}, {22.5, 4.5}}));
        break;
    case Dessin::Coupe:
        // A passage unrolled in depth, below the ground line.
        p.setPen(QPen(QColor(60, 140, 60), 2));
        p.drawLine(1, 4, 23, 4);
        Cheminement(p, QPolygonF(QList<QPointF>{{3, 7}, {8, 9}, {11, 15}, {17, 16}, {21, 21}}), terre);
        break;
    case Dessin::Perspective: {
        // A block seen from a corner.
        p.setPen(QPen(bleu, 1.5));
        p.setBrush(QColor(200, 215, 240));
        const QPolygonF face({{3, 9}, {15, 9}, {15, 21}, {3, 21}});
        const QPolygonF dessus({{3, 9}, {9, 3}, {21, 3}, {15, 9}});
        const QPolygonF cote({{15, 9}, {21, 3}, {21, 15}, {15, 21}});
        p.drawPolygon(cote);
        p.drawPolygon(dessus);
        p.drawPolygon(face);
        break;
    }
    case Dessin::Affichage:
        // Four items, as the explorer's list shows them.
        p.setPen(QPen(gris, 1));
        p.setBrush(QColor(235, 200, 90));
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                p.drawRect(QRectF(3.5 + 10 * i, 3.5 + 10 * j, 7, 7));
        break;
    case Dessin::References:
        // A surveyed point: cross-hairs on a target.
        p.setPen(QPen(QColor(180, 30, 30), 1.5));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
        p.setPen(QPen(gris, 1.5));
        p.drawLine(12, 1, 12, 23);
        p.drawLine(1, 12, 23, 12);
        break;
    case Dessin::Declinaison: {
        // A compass needle off north.
        p.setPen(QPen(gris, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(190, 30, 30));
        p.drawPolygon(QPolygonF(QList<QPointF>{{12, 12}, {10, 11}, {15, 3}}));
        p.drawPolygon(QPolygonF(QList<QPointF>{{12, 12}, {14, 13}, {15, 3}}));
        p.setBrush(gris);
        p.drawPolygon(QPolygonF(QList<QPointF>{{12, 12}, {10, 11}, {9, 21}}));
        p.drawPolygon(QPolygonF(QList<QPointF>{{12, 12}, {14, 13}, {9, 21}}));
        p.setPen(QPen(gris, 1, Qt::DotLine));
        p.drawLine(12, 2, 12, 22);
        break;
    }
    case Dessin::Contrainte: {
        // The deformation ramp, from the closest shots to the worst.
        QLinearGradient rampe(2, 0, 22, 0);
        rampe.setColorAt(0, QColor(0, 0, 255));
        rampe.setColorAt(0.35, QColor(0, 200, 0));
        rampe.setColorAt(0.7, QColor(255, 220, 0));
        rampe.setColorAt(1, QColor(255, 0, 0));
        p.setPen(QPen(gris, 1));
        p.setBrush(rampe);
        p.drawRect(QRectF(2.5, 14.5, 19, 6));
        Cheminement(p, QPolygonF(QList<QPointF>{{3, 10}, {9, 4}, {15, 9}, {21, 3}}), gris);
        break;
    }
    case Dessin::Couleurs:
        // Each gallery in its own colour.
        Cheminement(p, QPolygonF(QList<QPointF>{{2, 20}, {8, 14}}), QColor(200, 30, 30));
        Cheminement(p, QPolygonF(QList<QPointF>{{8, 14}, {15, 16}}), QColor(30, 150, 30));
        Cheminement(p, QPolygonF(QList<QPointF>{{15, 16}, {21, 5}}), QColor(30, 60, 200));
        Cheminement(p, QPolygonF(QList<QPointF>{{8, 14}, {7, 4}}), QColor(220, 150, 0));
        break;
    }
    p.end();
    return QIcon(pm);
}

QIcon IconeProgramme()
{
    static const bool chargees = (ChargeRessources(), true);
    (void)chargees;
    return QIcon(QStringLiteral(":/karstomat/karstomat.png"));
}

}  // namespace karst
