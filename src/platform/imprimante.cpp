#include "platform/imprimante.h"

#include "platform/texte.h"
#include "survey/flux.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <filesystem>
#include <system_error>

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
        printer_->setOutputFileName(pdfDemande_ + QStringLiteral(".partiel"));
    }
    // The canvas is made anew for each job: a font or pen of the last job stays behind.
    canvas_ = std::make_unique<CanvasPrinter>(*printer_);
    static_cast<CanvasPrinter&>(*canvas_).Commence();
    enCours_ = true;
}

void ImprimanteQt::NouvellePage()
{
    if (!enCours_)
        return;
    canvas_->Vide();
    printer_->newPage();
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
    canvas_->Termine();
    enCours_ = false;
    if (pdfDemande_.isEmpty())
        return {};
    const QString partiel = printer_->outputFileName();
    const QString demande = pdfDemande_;
    printer_->setOutputFileName(demande);
    pdfDemande_.clear();
    // rename() replaces the older document in one step: it stays whole until the new one
    // takes its name.
    // A pipe or a device put in the document's place meanwhile is not replaced.
    if (const std::string refus = RefusNonFichier(CheminSysteme(demande), "%1"); !refus.empty()) {
        QFile::remove(partiel);
        return QString::fromUtf8(refus).arg(demande);
    }
    std::error_code erreur;
    if (QFile::exists(partiel))
        std::filesystem::rename(std::filesystem::path(CheminSysteme(partiel)),
                                std::filesystem::path(CheminSysteme(demande)), erreur);
    else
        erreur = std::make_error_code(std::errc::no_such_file_or_directory);
    if (!erreur)
        return {};
    QFile::remove(partiel);
    return QStringLiteral("Impossible d'écrire le fichier %1.").arg(demande);
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

void ImprimanteFactice::NouvellePage()
{
    Journal.push_back("NouvellePage");
    pages_.push_back(std::make_unique<CanvasEnregistreur>(LargeurPage(), HauteurPage(), ppp_));
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
