#include "platform/imprimante.h"

#include "platform/texte.h"
#include "survey/flux.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace karst {

namespace {

// The page canvas of a QPrinter. A printer cannot be read back, so a flood fill does
// nothing there.
class CanvasPrinter : public CanvasPeintre {
public:
    explicit CanvasPrinter(QPrinter& p) : CanvasPeintre(p.logicalDpiX()), printer_(p) {}
    ~CanvasPrinter() override { Termine(); }
    int Largeur() const override { return printer_.width(); }
    int Hauteur() const override { return printer_.height(); }
    std::unique_ptr<TCanvas> CreeCompatible(int largeur, int hauteur) override
    {
        return std::make_unique<CanvasImage>(largeur, hauteur, ppp_);
    }
    void Commence() { peintre(); }

protected:
    QPaintDevice* peripherique() override { return &printer_; }
    void faitFloodFill(int, int, Couleur, bool) override {}

private:
    QPrinter& printer_;
};

// The refusal of a document that could not be written, with why when it is known.
QString TexteEcritureImpossible(const QString& nom, const std::string& raison)
{
    return QStringLiteral("Impossible d'écrire le fichier %1%2.")
        .arg(nom, raison.empty() ? QString() : QStringLiteral(" : ") + QString::fromStdString(raison));
}

// Whether the PDF open as `fd` is whole: its trailer ends the file and points at the
// cross-reference table.
bool PdfEntier(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    const off_t taille = st.st_size;
    char queue[64] = {};
    const off_t debut = std::max<off_t>(0, taille - static_cast<off_t>(sizeof queue - 1));
    const ssize_t lu = ::pread(fd, queue, static_cast<std::size_t>(taille - debut), debut);
    if (lu != taille - debut)
        return false;
    const std::string fin(queue, static_cast<std::size_t>(lu));
    const std::size_t mot = fin.rfind("startxref");
    if (mot == std::string::npos || fin.find("%%EOF", mot) == std::string::npos)
        return false;
    const long long table = std::strtoll(fin.c_str() + mot + 9, nullptr, 10);
    char xref[4];
    return table > 0 && table + 4 <= taille && ::pread(fd, xref, 4, table) == 4 && std::memcmp(xref, "xref", 4) == 0;
}

// What is wrong with the PDF file a job wrote at `chemin` (`peint`: its painter ended
// well): "" when it is a whole document on the disk; otherwise why, in the words the saves
// use, or that it is incomplete. The PDF engine keeps its write errors to itself; the same
// writes made again at the file's end meet the same refusal and give its reason.
std::string DefautPdf(const std::string& chemin, bool peint)
{
    const int fd = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return RaisonSysteme(errno);
    struct Ferme {
        int fd;
        ~Ferme() { ::close(fd); }
    } ferme{fd};
    if (::fsync(fd) != 0)
        return RaisonSysteme(errno);
    if (peint && PdfEntier(fd))
        return {};
    const std::vector<char> bloc(1 << 16, 0);
    for (int i = 0; i < 64; ++i) {
        const off_t fin = ::lseek(fd, 0, SEEK_END);
        if (fin < 0 || ::pwrite(fd, bloc.data(), bloc.size(), fin) < 0 || ::fsync(fd) != 0)
            return RaisonSysteme(errno);
    }
    return "le document est incomplet";
}

// Whether the medium still takes a block at the end of the file at `chemin`: the block is
// written there and taken back. The PDF engine keeps its write errors to itself, so that
// a full disk would otherwise be told only once every page is drawn.
bool PlaceAuBout(const std::string& chemin)
{
    // A file that cannot be opened is for the job's end to tell.
    const int fd = ::open(chemin.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    struct stat st {};
    bool place = ::fstat(fd, &st) == 0;
    if (place) {
        const std::vector<char> bloc(static_cast<std::size_t>(std::max<blksize_t>(st.st_blksize, 512)), 0);
        place = ::pwrite(fd, bloc.data(), bloc.size(), st.st_size) == static_cast<ssize_t>(bloc.size());
        [[maybe_unused]] const int retire = ::ftruncate(fd, st.st_size);
    }
    ::close(fd);
    return place;
}

// The file a name leads to, links followed.
QString Reel(const QString& nom) { return NomDeChemin(CheminReel(CheminSysteme(nom))); }

}  // namespace

ImprimanteQt::ImprimanteQt(const std::string& fichierPdf)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    if (QPrinterInfo::availablePrinters().isEmpty() || !fichierPdf.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(
            QString::fromStdString(fichierPdf.empty() ? std::string("karstomat.pdf") : fichierPdf));
    }
    canvas_ = std::make_unique<CanvasPrinter>(*printer_);
}

ImprimanteQt::ImprimanteQt(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer))
{
    canvas_ = std::make_unique<CanvasPrinter>(*printer_);
}

ImprimanteQt::~ImprimanteQt()
{
    if (enCours_)
        Abandon();
    canvas_.reset();
}

int ImprimanteQt::LargeurPage() { return printer_->width(); }
int ImprimanteQt::HauteurPage() { return printer_->height(); }
double ImprimanteQt::LargeurMm() { return printer_->width() * 25.4 / printer_->logicalDpiX(); }
double ImprimanteQt::HauteurMm() { return printer_->height() * 25.4 / printer_->logicalDpiY(); }
int ImprimanteQt::Plans() { return printer_->colorMode() == QPrinter::GrayScale ? 1 : 3; }

QRect ImprimanteQt::Feuille()
{
    const QRect page = printer_->pageLayout().paintRectPixels(printer_->resolution());
    const QRect feuille = printer_->pageLayout().fullRectPixels(printer_->resolution());
    return feuille.translated(-page.topLeft());
}

bool ImprimanteQt::FixePaysage(bool paysage)
{
    return printer_->setPageOrientation(paysage ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool ImprimanteQt::Paysage() const { return printer_->pageLayout().orientation() == QPageLayout::Landscape; }

void ImprimanteQt::FixeTitre(const std::string& titre) { printer_->setDocName(DepuisCp1252(titre)); }

void ImprimanteQt::Debut()
{
    // The program prints each copy itself: the device makes one of each page.
    printer_->setCopyCount(1);
    // The program orders the pages itself too: the device must not turn them round again.
    printer_->setPageOrder(QPrinter::FirstPageFirst);
    pdfDemande_.clear();
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) {
        pdfDemande_ = printer_->outputFileName();
        // A link is followed, as saves do: the document it names is the one replaced.
        printer_->setOutputFileName(Reel(pdfDemande_) + QStringLiteral(".partiel"));
    }
    // The canvas is made anew for each job: a font or pen of the last job stays behind.
    canvas_ = std::make_unique<CanvasPrinter>(*printer_);
    static_cast<CanvasPrinter&>(*canvas_).Commence();
    enCours_ = true;
}

bool ImprimanteQt::NouvellePage()
{
    if (!enCours_)
        return false;
    canvas_->Vide();
    printer_->newPage();
    return pdfDemande_.isEmpty() || PlaceAuBout(CheminSysteme(printer_->outputFileName()));
}

void ImprimanteQt::Abandon()
{
    if (!enCours_)
        return;
    printer_->abort();
    canvas_->Termine();
    enCours_ = false;
    if (!pdfDemande_.isEmpty()) {
        QFile::remove(printer_->outputFileName());
        printer_->setOutputFileName(pdfDemande_);
        pdfDemande_.clear();
    }
}

QString ImprimanteQt::Fin()
{
    if (!enCours_)
        return {};
    const bool peint = canvas_->Termine();
    enCours_ = false;
    const bool imprime = peint && printer_->printerState() != QPrinter::Error;
    if (pdfDemande_.isEmpty()) {
        if (imprime)
            return {};
        Renouvelle();
        return QStringLiteral("L'impression sur %1 a échoué.").arg(printer_->printerName());
    }
    const QString partiel = printer_->outputFileName();
    const QString demande = pdfDemande_;
    printer_->setOutputFileName(demande);
    pdfDemande_.clear();
    // A document the engine could not write whole does not take the name: the older one
    // stays, the broken one goes. The engine of a failed job writes nothing more; the next
    // job gets a new one.
    if (const std::string defaut = DefautPdf(CheminSysteme(partiel), imprime); !imprime || !defaut.empty()) {
        QFile::remove(partiel);
        Renouvelle();
        return TexteEcritureImpossible(demande, defaut);
    }
    // rename() replaces the older document in one step: it stays whole until the new one
    // takes its name.
    // A pipe or a device put in the document's place meanwhile is not replaced.
    if (const std::string refus = RefusNonFichier(CheminSysteme(demande), "%1"); !refus.empty()) {
        QFile::remove(partiel);
        return QString::fromUtf8(refus).arg(demande);
    }
    std::error_code erreur;
    std::filesystem::rename(std::filesystem::path(CheminSysteme(partiel)),
                            std::filesystem::path(CheminSysteme(Reel(demande))), erreur);
    if (!erreur)
        return {};
    QFile::remove(partiel);
    return TexteEcritureImpossible(demande, RaisonSysteme(erreur.value()));
}

void ImprimanteQt::Renouvelle()
{
    auto neuf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const QPrinter& p = *printer_;
    if (p.outputFormat() == QPrinter::PdfFormat) {
        neuf->setOutputFormat(QPrinter::PdfFormat);
        neuf->setOutputFileName(p.outputFileName());
    } else {
        neuf->setPrinterName(p.printerName());
    }
    neuf->setResolution(p.resolution());
    neuf->setPageLayout(p.pageLayout());
    neuf->setColorMode(p.colorMode());
    neuf->setDuplex(p.duplex());
    neuf->setFullPage(p.fullPage());
    neuf->setDocName(p.docName());
    neuf->setCopyCount(p.copyCount());
    neuf->setCollateCopies(p.collateCopies());
    neuf->setPageOrder(p.pageOrder());
    neuf->setPrintRange(p.printRange());
    neuf->setFromTo(p.fromPage(), p.toPage());
    canvas_ = std::make_unique<CanvasPrinter>(*neuf);
    printer_ = std::move(neuf);
}

TCanvas& ImprimanteQt::Canvas() { return *canvas_; }

QRect CadrePage(TImprimante& imprimante, int gauche, int haut, int droite, int bas)
{
    const int w = imprimante.LargeurPage(), h = imprimante.HauteurPage();
    const long double k = imprimante.LargeurMm() > 0 ? static_cast<long double>(w) / imprimante.LargeurMm() : 1.0L;
    auto px = [k](int mm) { return static_cast<int>(std::nearbyint(k * mm)); };
    return QRect(QPoint(px(gauche), px(haut)), QPoint(w - px(droite), h - px(bas)));
}

// ---- ImprimanteFactice -----------------------------------------------------------------

ImprimanteFactice::ImprimanteFactice(int largeurPage, int hauteurPage, double largeurMm, double hauteurMm,
                                     int pixelsParPouce, int plans)
    : largeurPage_(largeurPage), hauteurPage_(hauteurPage), largeurMm_(largeurMm), hauteurMm_(hauteurMm),
      ppp_(pixelsParPouce), plans_(plans)
{
    pages_.push_back(std::make_unique<CanvasEnregistreur>(largeurPage_, hauteurPage_, ppp_));
}

bool ImprimanteFactice::FixePaysage(bool paysage)
{
    paysage_ = paysage;
    return true;
}

void ImprimanteFactice::FixeTitre(const std::string& titre) { Journal.push_back("Titre " + titre); }

void ImprimanteFactice::Debut()
{
    Journal.push_back("Debut");
    pages_.push_back(std::make_unique<CanvasEnregistreur>(LargeurPage(), HauteurPage(), ppp_));
    enCours_ = true;
}

bool ImprimanteFactice::NouvellePage()
{
    Journal.push_back("NouvellePage");
    pages_.push_back(std::make_unique<CanvasEnregistreur>(LargeurPage(), HauteurPage(), ppp_));
    return true;
}

void ImprimanteFactice::Abandon()
{
    Journal.push_back("Abandon");
    enCours_ = false;
}

QString ImprimanteFactice::Fin()
{
    Journal.push_back("Fin");
    enCours_ = false;
    return {};
}

}  // namespace karst
