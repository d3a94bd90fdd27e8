#include "views/svg.h"

#include <array>

#include <QString>
#include <stdexcept>

#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

void FichierSVG::Ligne(const std::string& texte)
{
    contenu_ += texte;
    contenu_ += "\r\n";
}

void FichierSVG::Ferme() { EcritFichierEntier(nom_, contenu_); }

namespace {

const char* const kDtd = "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\"";

}  // namespace

void EcritEnteteSVG(FichierSVG& f, int largeurMm, int hauteurMm, bool illustrator)
{
    const std::string l = FormatEntier(largeurMm), h = FormatEntier(hauteurMm);
    f.Ligne("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    if (!illustrator) {
        f.Ligne("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"");
        f.Ligne(std::string(kDtd) + ">");
        f.Ligne("");
        // The namespace lets programs that do not read the document type show the drawing.
        f.Ligne("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + l + "mm\" height=\"" + h + "mm\">");
        return;
    }
    f.Ligne("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"    " + std::string(kDtd) + " [");
    static const std::array<std::pair<const char*, const char*>, 11> entites = {{
        {"ns_flows", "http://ns.adobe.com/Flows/1.0/"},
        {"ns_extend", "http://ns.adobe.com/Extensibility/1.0/"},
        {"ns_ai", "http://ns.adobe.com/AdobeIllustrator/10.0/"},
        {"ns_graphs", "http://ns.adobe.com/Graphs/1.0/"},
        {"ns_vars", "http://ns.adobe.com/Variables/1.0/"},
        {"ns_imrep", "http://ns.adobe.com/ImageReplacement/1.0/"},
        {"ns_sfw", "http://ns.adobe.com/SaveForWeb/1.0/"},
        {"ns_custom", "http://ns.adobe.com/GenericCustomNamespace/1.0/"},
        {"ns_adobe_xpath", "http://ns.adobe.com/XPath/1.0/"},
        {"ns_svg", "http://www.w3.org/2000/svg"},
        {"ns_xlink", "http://www.w3.org/1999/xlink"},
    }};
    for (std::size_t i = 0; i < entites.size(); ++i) {
        const std::string retrait = i == 0 ? "         " : "        \t";
        f.Ligne(retrait + "<!ENTITY " + entites[i].first + " \"" + entites[i].second + "\">");
    }
    f.Ligne("]>");
    f.Ligne("");
    f.Ligne("<svg");
    f.Ligne(" \t xmlns:x=\"&ns_extend;\" xmlns:i=\"&ns_ai;\" xmlns:graph=\"&ns_graphs;\"");
    f.Ligne(
        " \t xmlns=\"&ns_svg;\" xmlns:xlink=\"&ns_xlink;\" xmlns:a=\"http://ns.adobe.com/AdobeSVGViewerExtensions/3.0/\"");
    f.Ligne(" \t width=\"" + l + "mm\" height=\"" + h + "mm\"");
    f.Ligne(" \t overflow=\"visible\" enable-background=\"new 0 0 " + l + "mm " + h + "mm\" xml:space=\"preserve\">");
}

std::string Mm(double v) { return FormatF(v, 2) + "mm"; }

std::string TexteXml(const std::string& texte)
{
    std::string r;
    r.reserve(texte.size());
    for (const QChar c : DepuisCp1252(texte)) {
        const char16_t u = c.unicode();
        switch (u) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        default:
            if (u < 0x20 && u != '\t')
                break;  // not allowed in XML
            if (u > 0xFF)
                r += "&#" + FormatEntier(u) + ";";
            else
                r += static_cast<char>(u);
        }
    }
    return r;
}

std::string NomSansDossier(const std::string& chemin)
{
    const auto p = chemin.find_last_of("/\\:");
    return p == std::string::npos ? chemin : chemin.substr(p + 1);
}

std::string MarqueCouche(bool illustrator) { return illustrator ? " i:layer=\"yes\"" : ""; }

std::string StyleTraitSVG(int epaisseur) { return "stroke-width:" + Mm(epaisseur / 10.0) + "; stroke:black;"; }

std::string StylePoliceSVG(int points, const std::string& famille)
{
    return "font-size:" + FormatEntier(points) + "pt; font-family:" + TexteXml(famille) + ";";
}

std::string CoucheSVG(const std::string& id, bool illustrator, const std::string& style)
{
    return "<g id=\"" + id + "\"" + MarqueCouche(illustrator) + (style.empty() ? "" : " style=\"" + style + "\"") + ">";
}

std::string LigneSVG(double x1, double y1, double x2, double y2)
{
    return "<line x1=\"" + Mm(x1) + "\" y1=\"" + Mm(y1) + "\" x2=\"" + Mm(x2) + "\" y2=\"" + Mm(y2) + "\"/>";
}

std::string LigneSVG(double x1, double y1, double x2, double y2, int epaisseur)
{
    return "<line x1=\"" + Mm(x1) + "\" y1=\"" + Mm(y1) + "\" x2=\"" + Mm(x2) + "\" y2=\"" + Mm(y2) + "\" style=\"" +
           StyleTraitSVG(epaisseur) + "\"/>";
}

std::string CercleSVG(double cx, double cy, double r)
{
    return "<circle cx=\"" + Mm(cx) + "\" cy=\"" + Mm(cy) + "\" r=\"" + Mm(r) + "\"/>";
}

std::string TexteSVG(double x, double y, const std::string& texte)
{
    return "<text x=\"" + Mm(x) + "\" y=\"" + Mm(y) + "\">" + TexteXml(texte) + "</text>";
}

std::string TexteAncreSVG(double x, double y, const std::string& texte, int points, const std::string& famille,
                          const char* ancre)
{
    return "<text x=\"" + Mm(x) + "\" y=\"" + Mm(y) + "\" style=\"" + StylePoliceSVG(points, famille) +
           " text-anchor: " + ancre + "\">" + TexteXml(texte) + "</text>";
}

std::string GroupeTraitSVG(int epaisseur) { return "<g style=\"" + StyleTraitSVG(epaisseur) + "\">"; }

std::string GroupePoliceSVG(int points, const std::string& famille, bool centre)
{
    return "<g style=\"" + StylePoliceSVG(points, famille) + (centre ? " text-anchor: middle\">" : "\">");
}

}  // namespace karst
