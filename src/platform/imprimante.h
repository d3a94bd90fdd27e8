#pragma once
// The printer as the views and the printing loop see it: page size in pixels, printable
// size in millimetres, colour planes, the job (begin, new page, abort, end, title) and the
// canvas of the current page. A QPrinter implementation (PDF output when no printer is
// configured) and a recording fake for the tests.

#include <QRect>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

class QPrinter;

namespace karst {

class TImprimante {
public:
    virtual ~TImprimante() = default;
    // Page size in device pixels.
    virtual int LargeurPage() = 0;
    virtual int HauteurPage() = 0;
    // Printable size in millimetres: the page's pixels at the device's resolution, not the
    // whole millimetres a device reports, so that pages laid edge to edge join however many
    // rows and columns they make.
    virtual double LargeurMm() = 0;
    virtual double HauteurMm() = 0;
    // 1 for a monochrome device.
    virtual int Plans() = 0;
    // The whole sheet in the page's pixels: the page is the part the device prints on, and
    // the sheet reaches beyond it by the device's unprintable margins.
    virtual QRect Feuille() = 0;
    // Pages across (landscape) or upright; false when the device refuses the change.
    virtual bool FixePaysage(bool paysage) = 0;
    virtual bool Paysage() const = 0;
    virtual void FixeTitre(const std::string& titre) = 0;
    virtual void Debut() = 0;
    // False when the device takes no more (a full disk): the job ends there, and Fin
    // says why.
    virtual bool NouvellePage() = 0;
    virtual void Abandon() = 0;
    // Empty when the job is done, otherwise what went wrong, to be told to the user: a job
    // whose document could not be written must not pass for a printed one, nor take the
    // place of an older document; the next job starts on a sound device.
    virtual QString Fin() = 0;
    virtual bool Imprime() const = 0;
    // The canvas of the current page; outside a job it still measures texts.
    virtual TCanvas& Canvas() = 0;
};

// Printer pages drawn through QPainter on a QPrinter.
class ImprimanteQt : public TImprimante {
public:
    // Without a configured printer the output goes to a PDF file of that name.
    explicit ImprimanteQt(const std::string& fichierPdf = {});
    // On a printer made by the caller.
    explicit ImprimanteQt(std::unique_ptr<QPrinter> printer);
    ~ImprimanteQt() override;
    QPrinter& Printer() { return *printer_; }
    int LargeurPage() override;
    int HauteurPage() override;
    double LargeurMm() override;
    double HauteurMm() override;
    int Plans() override;
    QRect Feuille() override;
    bool FixePaysage(bool paysage) override;
    bool Paysage() const override;
    void FixeTitre(const std::string& titre) override;
    void Debut() override;
    bool NouvellePage() override;
    void Abandon() override;
    QString Fin() override;
    bool Imprime() const override { return enCours_; }
    TCanvas& Canvas() override;

private:
    // A printer with the same settings in place of one whose job failed.
    void Renouvelle();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<CanvasPeintre> canvas_;
    bool enCours_ = false;
    // A PDF job writes beside its file and takes its name only when it ends: the PDF
    // engine cannot abort, and an interrupted job must not pass for a whole one.
    QString pdfDemande_;
};

// A fake printer: fixed page geometry, given upright and turned a quarter for landscape, a
// recording canvas per page, and a log of the job calls ("Debut", "NouvellePage",
// "Abandon", "Fin", "Titre <t>").
class ImprimanteFactice : public TImprimante {
public:
    ImprimanteFactice(int largeurPage = 4960, int hauteurPage = 7016, double largeurMm = 210, double hauteurMm = 297,
                      int pixelsParPouce = 600, int plans = 3);
    int LargeurPage() override { return paysage_ ? hauteurPage_ : largeurPage_; }
    int HauteurPage() override { return paysage_ ? largeurPage_ : hauteurPage_; }
    double LargeurMm() override { return paysage_ ? hauteurMm_ : largeurMm_; }
    double HauteurMm() override { return paysage_ ? largeurMm_ : hauteurMm_; }
    int Plans() override { return plans_; }
    QRect Feuille() override
    {
        return {-bordFeuille, -bordFeuille, LargeurPage() + 2 * bordFeuille, HauteurPage() + 2 * bordFeuille};
    }
    bool FixePaysage(bool paysage) override;
    bool Paysage() const override { return paysage_; }
    void FixeTitre(const std::string& titre) override;
    void Debut() override;
    bool NouvellePage() override;
    void Abandon() override;
    QString Fin() override;
    bool Imprime() const override { return enCours_; }
    TCanvas& Canvas() override { return *pages_.back(); }

    std::vector<std::string> Journal;
    // One recording canvas per page begun; the first exists before any job.
    std::vector<std::unique_ptr<CanvasEnregistreur>> pages_;
    // The unprintable margin of the sheet all round, in pixels.
    int bordFeuille = 0;

private:
    int largeurPage_, hauteurPage_;
    double largeurMm_, hauteurMm_;
    int ppp_, plans_;
    bool enCours_ = false;
    bool paysage_ = false;
};

// The frame of a page inside margins of `gauche`, `haut`, `droite` and `bas` mm: the
// rectangle whose corners the corner marks show, in the device's pixels, both edges
// included. The page's drawing stays inside it.
QRect CadrePage(TImprimante& imprimante, int gauche, int haut, int droite, int bas);

}  // namespace karst
