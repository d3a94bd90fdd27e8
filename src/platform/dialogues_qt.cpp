#include "platform/dialogues_qt.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHash>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QTreeView>

namespace karst {

namespace {

// The file list of Qt's own file dialog. Qt writes sizes and dates in the system's locale,
// English on a system set to C: they are written in the program's French. The program's
// own files are shown under the names its dialogs give them, not under the MIME names of
// unrelated formats that share their extension (".pla", an iRiver playlist), and a file
// whose extension one of the dialog's filters names, under that filter's name.
class ListeFichiers : public QIdentityProxyModel {
public:
    ListeFichiers(const QString& filtre, QObject* parent) : QIdentityProxyModel(parent)
    {
        // Every kind the program reads or writes, its exchanges included: a dialog Qt opens
        // by itself (the print dialog's file) names them as the program's own dialogs do.
        const QString programme = QStringLiteral(
            "(dossier fiche)|*.fic|(massif texte)|*.mas|Modèle de fiche de saisie|*.sai|Modèle plan|*.pla|"
            "Modèle coupe|*.cou|Modèle perspective|*.per|Modèle tableau|*.tabl|Fichier TopoRobot|*.tab|"
            "Fichier VisualTopo|*.tro|Fichier HPGL|*.plt|Monde virtuel|*.wrl|");
        const QStringList p = (programme + filtre).split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < p.size(); i += 2) {
            const QString motif = p[i + 1].trimmed();
            if (!motif.startsWith(QStringLiteral("*.")) || motif.contains(QLatin1Char(';')))
                continue;
            QString nom = QString(p[i]).remove(QLatin1Char('(') + motif + QLatin1Char(')')).remove(motif).trimmed();
            if (nom.startsWith(QLatin1Char('(')) && nom.endsWith(QLatin1Char(')')))
                nom = nom.mid(1, nom.size() - 2).trimmed();
            if (!nom.isEmpty())
                noms_.insert(motif.mid(2).toLower(), nom);
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* fichiers = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !fichiers || index.column() < 1)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const bool dossier = fichiers->isDir(source);
        switch (index.column()) {
        case 1:
            // A pipe, a socket or a device has no size to show (Qt's model gives -1).
            if (dossier || !fichiers->fileInfo(source).isFile())
                return QString();
            return QLocale().formattedDataSize(fichiers->size(source));
        case 2:
            if (const auto nom = noms_.constFind(fichiers->fileInfo(source).suffix().toLower());
                !dossier && nom != noms_.cend())
                return *nom;
            break;
        case 3: return QLocale().toString(fichiers->lastModified(source), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    QHash<QString, QString> noms_;
};

}  // namespace

void HabilleListe(QFileDialog& f, const QString& filtre)
{
    auto* liste = new ListeFichiers(filtre, &f);
    f.setProxyModel(liste);
    // Each folder read, the columns fit what they show: a type or a date is read whole.
    auto* vue = f.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (auto* fichiers = qobject_cast<QFileSystemModel*>(liste->sourceModel()); vue && fichiers)
        QObject::connect(fichiers, &QFileSystemModel::directoryLoaded, vue, [vue] {
            for (int c = 1; c < vue->model()->columnCount(vue->rootIndex()); ++c)
                vue->resizeColumnToContents(c);
        });
}

namespace {

// A number box of Qt's own dialogs (the page set-up's margins) reads the French decimal
// comma only and drops a typed point: "2.5" would be 25. The program's own fields take
// both, and so do these: a typed point, the keypad's included, becomes the box's separator.
bool PointDecimal(QObject* objet, QKeyEvent& touche)
{
    if (touche.text() != QStringLiteral("."))
        return false;
    auto* boite = qobject_cast<QDoubleSpinBox*>(objet);
    if (!boite && objet->isWidgetType())
        boite = qobject_cast<QDoubleSpinBox*>(static_cast<QWidget*>(objet)->parentWidget());
    if (!boite)
        return false;
    const QString separateur = boite->locale().decimalPoint();
    if (separateur == touche.text() || separateur.size() != 1)
        return false;
    QKeyEvent remplacante(touche.type(), separateur[0].toUpper().unicode(), touche.modifiers(), separateur,
                          touche.isAutoRepeat(), touche.count());
    QCoreApplication::sendEvent(objet, &remplacante);
    return true;
}

// Shift+F10 asks the widget that has the keyboard for its pop-up menu, as the Menu key does
// (many laptops have none): the same request Qt makes of that key, at the same place. The
// keys are kept from any shortcut, which would otherwise fire as well.
bool MenuAuClavier(QObject* objet, QKeyEvent& touche)
{
    if (touche.key() != Qt::Key_F10 || (touche.modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier ||
        !objet->isWidgetType() || QApplication::activePopupWidget())
        return false;
    touche.accept();
    if (touche.type() == QEvent::KeyPress) {
        auto* w = static_cast<QWidget*>(objet);
        const QPoint ici = w->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, ici, w->mapToGlobal(ici), touche.modifiers());
        QCoreApplication::sendEvent(w, &menu);
    }
    return true;
}

// Qt's own dialogs, those it opens by itself included (the print dialog's choice of a PDF
// file, the page set-up), as the program's: the file list as it is shown, the decimal point
// as it is typed. And the desktop's keyboard pop-up key everywhere in the program.
class HabillageQt : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Show:
            if (auto* f = qobject_cast<QFileDialog*>(objet); f && !f->proxyModel())
                HabilleListe(*f, {});
            return false;
        case QEvent::ShortcutOverride: return MenuAuClavier(objet, static_cast<QKeyEvent&>(*e));
        case QEvent::KeyPress:
            return MenuAuClavier(objet, static_cast<QKeyEvent&>(*e)) || PointDecimal(objet, static_cast<QKeyEvent&>(*e));
        case QEvent::KeyRelease: return PointDecimal(objet, static_cast<QKeyEvent&>(*e));
        default: return false;
        }
    }
};

}  // namespace

void HabilleDialoguesQt()
{
    static QPointer<HabillageQt> habillage;
    if (habillage || !QCoreApplication::instance())
        return;
    habillage = new HabillageQt(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(habillage);
}

}  // namespace karst
