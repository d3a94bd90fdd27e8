#include "platform/services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTranslator>
#include <QUrl>
#include <QUrlQuery>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>

#include "platform/dialogues_qt.h"
#include "platform/interlocuteur.h"

namespace karst {

namespace fs = std::filesystem;

QString TexteVersion() { return QStringLiteral(KARST_VERSION); }

void PrepareProcessus()
{
    std::setlocale(LC_NUMERIC, "C");
    // Past a file-size limit (ulimit -f, the quotas of shared machines) the system would end
    // the run, unsaved massif and all: ignored, the write fails with EFBIG and the save says so.
    std::signal(SIGXFSZ, SIG_IGN);
    ChargeTraductionsQt();
}

namespace {

// The few words of Qt's dialogs that its French catalogue leaves in English. Most mean the
// same wherever Qt shows them, and their source text alone picks the translation; a word as
// short as "Off" is taken in its own dialog only.
class TraductionsPropres : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* contexte, const char* source, const char*, int) const override
    {
        struct Mot {
            const char* contexte;  // null: any
            const char* source;
            const char* francais;
        };
        static const Mot kMots[] = {
            {nullptr, "Folder", "Dossier"},
            {nullptr, "Printer Properties", "Propriétés de l'imprimante"},
            {nullptr, "Advanced", "Avancé"},
            {nullptr, "Double Sided Printing", "Impression recto verso"},
            {"QPrintSettingsOutput", "Off", "Désactivée"},
            {nullptr, "Long side binding", "Reliure côté long"},
            {nullptr, "Short side binding", "Reliure côté court"},
            {nullptr,
             "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a "
             "hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
             "Indiquez des pages ou des plages séparées par des virgules ; une plage s'écrit avec deux nombres "
             "séparés par un tiret. Par exemple, 3,5-7,9 imprime les pages 3, 5, 6, 7 et 9."},
            {nullptr, "Invalid Pages Definition", "Définition des pages incorrecte"},
            {nullptr,
             "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define "
             "ranges and make sure ranges do not intersect with each other.",
             "%1 ne suit pas la syntaxe attendue : séparez les pages et les plages par « , », écrivez les plages "
             "avec « - » et veillez à ce qu'elles ne se chevauchent pas."},
            {nullptr, "Page Setup Conflicts", "Conflits de mise en page"},
            {nullptr, "Advanced Option Conflicts", "Conflits d'options avancées"},
            {nullptr, "Duplex Settings Conflicts", "Conflits de réglages recto verso"},
            {nullptr, "There are conflicts in page setup options. Do you want to fix them?",
             "Des options de mise en page sont en conflit. Voulez-vous les corriger ?"},
            {nullptr, "There are conflicts in some advanced options. Do you want to fix them?",
             "Des options avancées sont en conflit. Voulez-vous les corriger ?"},
            {nullptr, "There are conflicts in duplex settings. Do you want to fix them?",
             "Des réglages recto verso sont en conflit. Voulez-vous les corriger ?"},
            {nullptr, "There are conflicts in some options. Please fix them.",
             "Des options sont en conflit. Veuillez les corriger."},
        };
        if (!source)
            return {};
        for (const Mot& m : kMots)
            if (std::strcmp(m.source, source) == 0 &&
                (!m.contexte || (contexte && std::strcmp(m.contexte, contexte) == 0)))
                return QString::fromUtf8(m.francais);
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

bool ChargeTraductionsQt()
{
    // One translator for the whole run, whatever the user's language: the program speaks French.
    // Numbers, sizes and dates that Qt's dialogs write follow the default locale.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    HabilleDialoguesQt();
    // The translators go with the application, which uninstalls them as it ends.
    static QPointer<QTranslator> traducteur;
    QCoreApplication* application = QCoreApplication::instance();
    if (traducteur || !application)
        return !traducteur.isNull();
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qt"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    t->setParent(application);
    traducteur = t.release();
    QCoreApplication::installTranslator(traducteur);
    // Installed last, it is asked first.
    QCoreApplication::installTranslator(new TraductionsPropres(application));
    return true;
}

void PrepareThemeIcones()
{
    // Some platforms (the offscreen one, a bare window manager) give Qt no icon folders
    // at all: the shared data folders' themes are then looked up by hand.
    QStringList chemins = QIcon::themeSearchPaths();
    for (const QString& donnees : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString icones = QDir(donnees).filePath(QStringLiteral("icons"));
        if (!chemins.contains(icones) && QDir(icones).exists())
            chemins << icones;
    }
    QIcon::setThemeSearchPaths(chemins);
    // A Debian icon theme the install script provides, whose icons are plain images;
    // without a desktop session there is no theme at all, and it serves as the theme.
    const QString repli = QStringLiteral("Adwaita");
    QIcon::setFallbackThemeName(repli);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(repli);
}

std::string RepertoireUtilisateur()
{
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.config";
    else
        base = QDir::tempPath().toStdString();
    if (base.back() != '/')
        base += '/';
    const std::string rep = base + "Karstomat/";
    std::error_code e;
    fs::create_directories(rep, e);
    return rep;
}

std::string RepertoireProgramme()
{
    std::string r = QCoreApplication::applicationDirPath().toStdString();
    if (r.empty() || r.back() != '/')
        r += '/';
    return r;
}

namespace {

std::string MajAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

std::string TrouveFichier(const std::string& chemin)
{
    std::error_code e;
    const fs::path p(chemin);
    if (fs::is_regular_file(p, e))
        return chemin;
    const fs::path dossier = p.has_parent_path() ? p.parent_path() : fs::path(".");
    const std::string nom = MajAscii(p.filename().string());
    for (fs::directory_iterator it(dossier, e), fin; !e && it != fin; it.increment(e)) {
        if (MajAscii(it->path().filename().string()) == nom && it->is_regular_file(e))
            return (dossier / it->path().filename()).string();
    }
    return {};
}

bool FichierExiste(const std::string& chemin)
{
    std::error_code e;
    return !chemin.empty() && fs::is_regular_file(chemin, e);
}

bool OuvreAdresse(const QString& url)
{
    // Without a browser the click would do nothing without a word.
    if (QDesktopServices::openUrl(QUrl(url)))
        return true;
    Invite().Avertissement(QStringLiteral("Aucun navigateur n'a pu ouvrir l'adresse %1.").arg(url));
    return false;
}

bool OuvreCourriel(const QString& adresse, const QString& sujet)
{
    QUrl url(QStringLiteral("mailto:") + adresse);
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("Subject"), sujet);
    url.setQuery(q);
    if (QDesktopServices::openUrl(url))
        return true;
    Invite().Avertissement(QStringLiteral("Aucune messagerie n'a pu ouvrir un message à %1.").arg(adresse));
    return false;
}

void JoueSon(const std::string& chemin)
{
    if (!FichierExiste(chemin))
        return;
    for (const char* lecteur : {"paplay", "aplay"}) {
        const QString programme = QStandardPaths::findExecutable(QString::fromLatin1(lecteur));
        if (programme.isEmpty())
            continue;
        QProcess p;
        p.start(programme, {QString::fromLocal8Bit(chemin.c_str())});
        if (p.waitForStarted())
            p.waitForFinished();
        return;
    }
}

void OuvreAide(const std::string& fichierAide)
{
    const std::string f = TrouveFichier(fichierAide);
    if (f.empty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(f.c_str()))))
        Invite().Information(QStringLiteral("Aucune aide n'est installée."));
}

namespace {

// The four cursors, drawn in black with a white outline on 32 x 32 pixels.
QCursor Dessine(Curseur c)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto trait = [&](auto&& dessin) {
        p.setPen(QPen(Qt::white, 3));
        dessin();
        p.setPen(QPen(Qt::black, 1));
        dessin();
    };
    auto fleche = [&](QPoint a, QPoint b) {
        p.drawLine(a, b);
        const QPoint d = b - a;
        const QPoint n(d.x() == 0 ? 0 : (d.x() > 0 ? 1 : -1), d.y() == 0 ? 0 : (d.y() > 0 ? 1 : -1));
        const QPoint t(-n.y(), n.x());
        p.drawLine(b, b - 3 * n + 3 * t);
        p.drawLine(b, b - 3 * n - 3 * t);
    };
    switch (c) {
    case Curseur::Croix:
        trait([&] {
            p.drawLine(16, 4, 16, 28);
            p.drawLine(4, 16, 28, 16);
        });
        break;
    case Curseur::Translation:
        trait([&] {
            fleche({16, 16}, {16, 3});
            fleche({16, 16}, {16, 29});
            fleche({16, 16}, {3, 16});
            fleche({16, 16}, {29, 16});
        });
        break;
    case Curseur::Rotation:
        trait([&] {
            p.drawArc(6, 6, 20, 20, 30 * 16, 300 * 16);
            p.drawLine(24, 8, 26, 3);
            p.drawLine(24, 8, 29, 10);
        });
        break;
    case Curseur::Lateral:
        trait([&] {
            fleche({16, 16}, {3, 16});
            fleche({16, 16}, {29, 16});
            p.drawLine(16, 10, 16, 22);
        });
        break;
    }
    p.end();
    return QCursor(pm, 16, 16);
}

}  // namespace

QCursor CurseurVue(Curseur c)
{
    static std::map<Curseur, QCursor> table;
    auto it = table.find(c);
    if (it == table.end())
        it = table.emplace(c, Dessine(c)).first;
    return it->second;
}

Sablier::Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }

Sablier::~Sablier() { QApplication::restoreOverrideCursor(); }

}  // namespace karst
