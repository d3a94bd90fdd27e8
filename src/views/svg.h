#pragma once
// The SVG file shared by the projection views: the header, the element forms and the
// millimetre numbers. The file is ISO-8859-1 text with CR LF line ends; coordinates are
// millimetres of paper with two decimals.

#include <string>

namespace karst {

// A text file built line by line (the SVG and VRML exports) and written whole by Ferme, as
// every file of the program is: a failure raises std::runtime_error with a French message
// and leaves any file of that name as it was. Without Ferme nothing is written.
class FichierSVG {
public:
    explicit FichierSVG(const std::string& nom) : nom_(nom) {}
    FichierSVG(const FichierSVG&) = delete;
    FichierSVG& operator=(const FichierSVG&) = delete;
    // Writes the text and CR LF.
    void Ligne(const std::string& texte);
    // Writes the text alone.
    void Ecrit(const std::string& texte) { contenu_ += texte; }
    void Ferme();

private:
    std::string nom_;
    std::string contenu_;
};

// Opening lines: the XML declaration, the document type and the opening svg element, in
// the plain form (five lines) or the Illustrator form with its entities and namespaces.
void EcritEnteteSVG(FichierSVG& f, int largeurMm, int hauteurMm, bool illustrator);

// A real in millimetres: two decimals and "mm".
std::string Mm(double v);
// A survey text (Windows-1252) as XML character data: markup characters escaped,
// characters outside Latin-1 as character references, control characters dropped.
std::string TexteXml(const std::string& texte);
// The file name after the last "/", "\" or ":".
std::string NomSansDossier(const std::string& chemin);
// " i:layer="yes"" for an Illustrator layer, empty otherwise.
std::string MarqueCouche(bool illustrator);

// Styles: "stroke-width:%fmm; stroke:black;" for a thickness in tenths of mm, and
// "font-size:%dpt; font-family:%s;".
std::string StyleTraitSVG(int epaisseur);
std::string StylePoliceSVG(int points, const std::string& famille);
// The opening of a layer: "<g id="%s"%s style="%s">" with the layer mark, or without the
// style attribute when there is no style.
std::string CoucheSVG(const std::string& id, bool illustrator, const std::string& style = {});

// Element forms.
std::string LigneSVG(double x1, double y1, double x2, double y2);
// A line with its own width: "<line ... style="stroke-width:%fmm; stroke:black;"/>".
std::string LigneSVG(double x1, double y1, double x2, double y2, int epaisseur);
std::string CercleSVG(double cx, double cy, double r);
std::string TexteSVG(double x, double y, const std::string& texte);
// A text with its own font, ending ("end") or starting ("start") at the point.
std::string TexteAncreSVG(double x, double y, const std::string& texte, int points, const std::string& famille,
                          const char* ancre);
// "<g style="stroke-width:%fmm; stroke:black;">".
std::string GroupeTraitSVG(int epaisseur);
// "<g style="font-size:%dpt; font-family:%s;">", with " text-anchor: middle" when centre.
std::string GroupePoliceSVG(int points, const std::string& famille, bool centre = false);

}  // namespace karst
