#include "formulaires/dlg_vrml.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <vector>

#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/fichier_texte.h"
#include "views/svg.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

const char* const kFiltreVrml = "Monde virtuel (*.wrl)|*.wrl";

template <class T>
T* Nomme(T* w, const char* nom)
{
    w->setObjectName(QString::fromLatin1(nom));
    return w;
}

}  // namespace

bool CommandeExportVRML(TPerspective* perspective, QWidget* parent)
{
    if (!perspective) {
        Invite().Information(QStringLiteral("Vous devez activer la perspective pour exporter en VRML."));
        return false;
    }
    TExport_VRML dialogue(*perspective, parent);
    return ExecuteModal(dialogue) == QDialog::Accepted;
}

std::string AdresseTexture(const std::string& texture, const std::string& fichierVrml)
{
    const QString dossier = QFileInfo(NomDeChemin(fichierVrml)).absolutePath();
    // A '\\' is a letter of a Linux file name: the name goes as it is.
    return CheminSysteme(QDir(dossier).relativeFilePath(QFileInfo(NomDeChemin(texture)).absoluteFilePath()));
}

TExport_VRML::TExport_VRML(TPerspective& perspective, QWidget* parent) : QDialog(parent), perspective_(perspective)
{
    setObjectName("Export_VRML");
    setWindowTitle(QStringLiteral("Exportation VRML"));

    Couleur = Nomme(new QGroupBox(QStringLiteral("&Couleur"), this), "Couleur");
    Gris = Nomme(new QRadioButton(QStringLiteral("Gris"), Couleur), "Gris");
    Deformations = Nomme(new QRadioButton(QStringLiteral("Déformations"), Couleur), "Deformations");
    Coloriage = Nomme(new QRadioButton(QStringLiteral("Coloriage"), Couleur), "Coloriage");
    Gris->setChecked(true);
    auto* choix = new QVBoxLayout(Couleur);
    choix->addWidget(Gris);
    choix->addWidget(Deformations);
    choix->addWidget(Coloriage);

    Ambiance = Nomme(new QSlider(Qt::Horizontal, this), "Ambiance");
    Ambiance->setRange(0, 100);
    Ambiance->setTickInterval(10);
    Ambiance->setTickPosition(QSlider::TicksBelow);
    Ambiance->setValue(50);
    auto* lumiere = new QLabel(QStringLiteral("&Lumière ambiante"), this);
    lumiere->setBuddy(Ambiance);

    Lissage = Nomme(new QCheckBox(QStringLiteral("L&issage"), this), "Lissage");
    Centre = Nomme(new QCheckBox(QStringLiteral("Centré"), this), "Centre");
    Centre->setChecked(true);
    Texture = Nomme(new QCheckBox(QStringLiteral("&Texture"), this), "Texture");
    Nom_texture = Nomme(new QLineEdit(this), "Nom_texture");
    Fichier_Texture = Nomme(new QToolButton(this), "Fichier_Texture");
    Fichier_Texture->setText(QStringLiteral("..."));
    Fichier_Texture->setToolTip(QStringLiteral("Choix du fichier de texture"));
    Nom_Modele = Nomme(new QLineEdit(this), "Nom_Modele");
    Fichier_modele = Nomme(new QToolButton(this), "Fichier_modele");
    Fichier_modele->setText(QStringLiteral("..."));
    Fichier_modele->setToolTip(QStringLiteral("Choix du fichier modèle"));
    auto* modele = new QLabel(QStringLiteral("Fichier &modèle"), this);
    modele->setBuddy(Nom_Modele);

    OKBtn = Nomme(new QPushButton(QStringLiteral("&Exporter ..."), this), "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = Nomme(new QPushButton(QStringLiteral("Annuler"), this), "CancelBtn");

    auto* grille = new QGridLayout;
    grille->addWidget(lumiere, 0, 0);
    grille->addWidget(Ambiance, 0, 1, 1, 2);
    grille->addWidget(Lissage, 1, 0);
    grille->addWidget(Centre, 1, 1);
    grille->addWidget(Texture, 2, 0);
    grille->addWidget(Nom_texture, 2, 1);
    grille->addWidget(Fichier_Texture, 2, 2);
    grille->addWidget(modele, 3, 0);
    grille->addWidget(Nom_Modele, 3, 1);
    grille->addWidget(Fichier_modele, 3, 2);
    QHBoxLayout* boutons = LigneBoutons({OKBtn, CancelBtn});
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(Couleur);
    colonne->addLayout(grille);
    colonne->addLayout(boutons);

    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(Texture, &QCheckBox::toggled, this, [this] { TextureClick(); });
    connect(Nom_texture, &QLineEdit::textChanged, this, [this] { Nom_textureChange(); });
    connect(Fichier_Texture, &QToolButton::clicked, this, [this] { Fichier_TextureClick(); });
    connect(Fichier_modele, &QToolButton::clicked, this, [this] { Fichier_modeleClick(); });
}

uint16_t TExport_VRML::ModeCouleur() const
{
    if (Deformations->isChecked())
        return 3;
    if (Coloriage->isChecked())
        return 2;
    return 0;
}

void TExport_VRML::TextureClick() { Couleur->setEnabled(!Texture->isChecked()); }

void TExport_VRML::Nom_textureChange()
{
    if (!Nom_texture->text().isEmpty())
        Texture->setChecked(true);
}

void TExport_VRML::Fichier_TextureClick()
{
    DialogueFichier d{QString(),
                      QStringLiteral("Image Jpeg (*.jpg)|*.jpg|Image Gif (*.gif)|*.gif"),
                      QStringLiteral("jpg"),
                      QStringLiteral("*.jpg"),
                      1,
                      {}};
    if (Invite().Ouvrir(d))
        Nom_texture->setText(d.nom);
}

void TExport_VRML::Fichier_modeleClick()
{
    DialogueFichier d{QString(), QString::fromUtf8(kFiltreVrml), QStringLiteral("wrl"), QStringLiteral("*.wrl"), 1, {}};
    if (Invite().Ouvrir(d))
        Nom_Modele->setText(d.nom);
}

void TExport_VRML::OKBtnClick()
{
    DialogueFichier d{QString(), QString::fromUtf8(kFiltreVrml),        QStringLiteral("wrl"), QStringLiteral("*.wrl"),
                      1,         DossierDialogue(QStringLiteral("wrl"))};
    if (!Invite().Enregistrer(d))
        return;
    RetiensDossier(QStringLiteral("wrl"), d.nom);
    const std::string chemin = CheminSysteme(d.nom);
    OptionsVRML options;
    options.Centre = Centre->isChecked();
    options.Lissage = Lissage->isChecked();
    options.Texture = Texture->isChecked();
    options.Ambiance = static_cast<double>(Ambiance->value()) / Ambiance->maximum();
    if (options.Texture)
        options.AdresseTexture = AdresseTexture(CheminSysteme(Nom_texture->text()), chemin);
    if (!Invite().EcritParDessus(chemin))
        return;
    try {
        // The model file is read whole before anything is written, so that a model that
        // cannot be read leaves no empty world behind.
        std::vector<std::string> entete;
        if (!Nom_Modele->text().isEmpty()) {
            // A model is the head of a world (its version line, a title, a viewpoint): a few
            // thousand lines of a few kilobytes are far beyond it, and keep a file that is no
            // model from being held whole.
            entete = FichierTexteLecture(CheminSysteme(Nom_Modele->text()), 16384).Lignes(4096);
        } else {
            entete.push_back("#VRML V2.0 utf8");
        }
        FichierSVG f(chemin);
        for (const std::string& ligne : entete)
            f.Ligne(ligne);
        f.Ligne("");
        perspective_.EcritVRML(f, ModeCouleur(), options);
        f.Ferme();
    } catch (const std::exception& e) {
        Invite().Erreur(e);
        return;
    }
    accept();
}

}  // namespace karst
