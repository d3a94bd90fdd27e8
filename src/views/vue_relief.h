#pragma once
// The perspective view: the centrelines of the placed galleries seen from an azimuth and
// an elevation, in a parallel projection that keeps altitudes at full scale and lays the
// horizontal depth onto the vertical by the sine of the elevation; optionally as a
// red/blue stereo pair. The same view builds the 3D passage model for the OpenGL panel
// and for the VRML file.

#include <array>
#include <memory>
#include <string>

#include "views/graphique.h"

namespace karst {

class TMaScene;
class PanneauOpenGL;
class TOptions_Relief;
class FichierSVG;
struct Modele3D;

// What the VRML export dialog adds to the model part of the file.
struct OptionsVRML {
    bool Centre = true;
    bool Lissage = false;
    bool Texture = false;
    double Ambiance = 0.5;       // ambient intensity, 0..1
    std::string AdresseTexture;  // relative to the VRML file, as the system names it
};

class TPerspective : public TProjection {
public:
    explicit TPerspective(ContexteVues& contexte);
    ~TPerspective() override;

    double CosAzimut = 1.0;
    double SinAzimut = 0.0;
    double SinElevation = 0.0;
    double Azimut = 0.0;     // degrees, 0..360
    double Elevation = 0.0;  // degrees, -90..90
    double ProfondeurCentre = 0.0;
    std::array<double, 3> Centre{0, 0, 0};  // middle of the model box, world metres
    double Azimut3D = 0.0, Elevation3D = 0.0;
    std::array<Reel6, 3> Camera{};  // in the scene's frame, metres
    TStation BoiteMin, BoiteMax;    // box of the placed stations (set by Dimensions)
    bool Stereo = false;
    bool Premier3D = true;
    std::unique_ptr<TMaScene> Scene;

    GenreVue Genre() const override { return GenreVue::Perspective; }

    // Turns the view by two increments in degrees.
    void Tourne(double dAzimut, double dElevation);
    // Points the projection at a pending turn without keeping it; the turned angles as text.
    std::string TexteAngles(double dAzimut, double dElevation);

    // Turned by a third of a degree per pixel of a drag, across in azimuth and down in
    // elevation, or by a step in azimuth (first) and elevation (second).
    int AnglesRotation() const override { return 2; }
    TexteCp1252 ApercuGlisse(double balayage, double dx, double dy) override;
    void TourneGlisse(double balayage, double dx, double dy) override;
    void TournePas(PasTour& pas, bool retour) override;
    TexteCp1252 TexteRotation() const override;
    void GardeAngles(TOptions_Plan& plan, TOptions_Relief& relief) const override;
    TPerspective* Perspective() override { return this; }

    void Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode) override;
    void DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                     double zoom) override;
    void Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image) override;
    void NombrePages(int& colonnes, int& lignes, int margesH, int margesV) override;
    double Localise(int x, int y, int& fiche, int& galerie, int& point) override;
    void IsoleEcran(int x, int y, int rayon2) override;
    void Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte) override;
    void ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes) override;

    // The 3D passage model in the OpenGL panel: a new scene replaces the previous one,
    // the first build places the camera, then the scene is painted. Mode: 0 and 1 grey,
    // 2 gallery colours, 3 deformation colours.
    void Construit3D(PanneauOpenGL& panneau, uint16_t mode);
    // The model part of a VRML file (nothing without data).
    void EcritVRML(FichierSVG& fichier, uint16_t mode, const OptionsVRML& options);
    // Turns the scene so that it is seen from Camera along Azimut3D and Elevation3D, and
    // paints it. Nothing without a scene.
    void PlaceCamera();

    // The projection of a world point: across, depth and up.
    void Projette(double x, double y, double z, double& h, double& d, double& v) const
    {
        h = x * CosAzimut + y * SinAzimut;
        d = -x * SinAzimut + y * CosAzimut;
        v = z - d * SinElevation;
    }

private:
    // The model of the current sheets, with the centre computed first.
    Modele3D Modele(uint16_t mode);
};

}  // namespace karst
