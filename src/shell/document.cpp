// Opening, saving and closing the massif, the save prompt, the recent files, dropped
// files, the command line and the caption.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "calcul/drapeaux.h"
#include "dialogs/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "survey/flux.h"
#include "survey/textes.h"

namespace karst {

namespace fs = std::filesystem;

namespace {

const QString kGenreMassif = QStringLiteral("massif");

QString Nom(const std::string& chemin) { return QFileInfo(NomDeChemin(chemin)).fileName(); }

// A name cut to the longest a folder takes, with `fin` kept whole after it.
std::string DansLaLimite(const std::string& debut, const std::string& fin)
{
    return debut.substr(0, kLongueurNomMax - std::min(fin.size(), kLongueurNomMax)) + fin;
}

// The backup of a massif file: its extension replaced by ".BAK", so that the binary and
// the text file of one base name share it; a name without one gets ".BAK" added (cutting
// three characters off it would land beside its folder, over another file).
std::string NomSauvegarde(const std::string& nom)
{
    const fs::path p(nom);
    return (p.parent_path() / DansLaLimite(p.stem().string(), ".BAK")).string();
}

// FNV-1a over bytes, on 32 or 64 bits; `h` carries on from earlier bytes.
template <class Mot>
Mot Fnv1a(std::string_view octets, Mot h = sizeof(Mot) == 4 ? Mot(2166136261u) : Mot(14695981039346656037ull))
{
    constexpr Mot premier = sizeof(Mot) == 4 ? Mot(16777619u) : Mot(1099511628211ull);
    for (const char c : octets)
        h = (h ^ static_cast<uint8_t>(c)) * premier;
    return h;
}

// The backup kept in the settings folder when the massif's own folder takes none: many
// massifs share that folder, so the name carries a mark of the massif's full path (FNV-1a),
// and two "cave.fic" of different folders never take each other's.
std::string NomSauvegardeAilleurs(const std::string& fichier)
{
    const uint32_t h = Fnv1a<uint32_t>(fs::absolute(fichier).lexically_normal().string());
    std::string marque = "-";
    for (int i = 28; i >= 0; i -= 4)
        marque += "0123456789abcdef"[(h >> i) & 15];
    return DansLaLimite(fs::path(fichier).stem().string(), marque + ".BAK");
}

// The massif dialogs start on the filter entry of the kind the caver works in: the open
// massif's, else the last one closed's.
int FiltreMassif(const std::string& nom) { return MajAscii(fs::path(nom).extension().string()) == ".MAS" ? 2 : 1; }

// The nearest folder of a path that still exists: a folder renamed, or a stick's mount
// folder removed, leaves the caver as close as can be to where the massif was.
QString DossierExistant(const std::string& chemin)
{
    std::error_code e;
    fs::path p = fs::absolute(chemin, e).parent_path();
    while (p.has_relative_path() && !fs::is_directory(p, e))
        p = p.parent_path();
    return NomDeChemin(p.string());
}

bool EstSauvegarde(const std::string& nom) { return MajAscii(fs::path(nom).extension().string()) == ".BAK"; }

// The FNV-1a mark of a file's bytes; none when they cannot be read whole. Not blocking, so
// that a pipe put in the file's place is not waited on.
std::optional<uint64_t> MarqueOctets(const std::string& nom)
{
    const int fd = ::open(nom.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    uint64_t h = Fnv1a<uint64_t>({});
    std::vector<char> bloc(65536);
    ssize_t lu = 0;
    struct stat st {};
    std::optional<uint64_t> r;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        while ((lu = ::read(fd, bloc.data(), bloc.size())) > 0 || (lu < 0 && errno == EINTR))
            if (lu > 0)
                h = Fnv1a<uint64_t>({bloc.data(), static_cast<std::size_t>(lu)}, h);
        if (lu == 0)
            r = h;
    }
    ::close(fd);
    return r;
}

// What changes when a file is written: the file a name designates, its size, the time of
// its last change (to the nanosecond) and the time its inode last changed. A copy may set
// the first time back (cp -p, touch -r) but never the second; new rights, a new owner or a
// sync tool's attributes move the second alone. Taken before the bytes, so that a write
// between the two shows at the next look. Reading the bytes costs a second per few hundred
// megabytes: `marque` false leaves them for when they are needed.
EtatFichier Releve(const std::string& nom, bool marque = true)
{
    EtatFichier r;
    struct stat st {};
    if (nom.empty() || ::stat(nom.c_str(), &st) != 0)
        return r;
    r.empreinte = {static_cast<int64_t>(st.st_dev),          static_cast<int64_t>(st.st_ino),
                   static_cast<int64_t>(st.st_size),         static_cast<int64_t>(st.st_mtim.tv_sec),
                   static_cast<int64_t>(st.st_mtim.tv_nsec), static_cast<int64_t>(st.st_ctim.tv_sec),
                   static_cast<int64_t>(st.st_ctim.tv_nsec)};
    if (marque)
        r.contenu = MarqueOctets(nom);
    return r;
}

// Someone else may have written the file since `avant`: its data changed, or only the
// inode's time moved and its bytes, when they can be read, are not those recorded.
bool ModifieDepuis(const std::string& nom, const EtatFichier& avant)
{
    const EtatFichier maintenant = Releve(nom, false);
    if (maintenant.empreinte == avant.empreinte)
        return false;
    if (!std::equal(avant.empreinte.begin(), avant.empreinte.begin() + 5, maintenant.empreinte.begin()))
        return true;
    // Bytes that new rights or a new owner keep from being read changed no more than the
    // data's time says: the save itself tells why it fails.
    const std::optional<uint64_t> contenu = MarqueOctets(nom);
    if (!contenu)
        return false;
    return !avant.contenu || contenu != avant.contenu;
}

}  // namespace

// The backup goes beside the file (a link's target, not the link); where it cannot be made,
// into the settings folder, and `avis` then says where and why (completed by the caller,
// who knows whether the file was replaced). A massif already named *.BAK is not backed up
// onto itself, nor a read-only one, which the save refuses.
std::string TForm1::CopieDeSauvegarde(const std::string& nom, std::string& avis) const
{
    avis.clear();
    const std::string fichier = CheminReel(nom);
    if (EstSauvegarde(fichier) || LectureSeule(fichier))
        return {};
    const std::string bak = NomSauvegarde(fichier);
    // The reason in a few words: the massif is saved all the same, so no refusal's advice.
    auto pourquoi = [](const ErreurFlux& e, const std::string& copie) {
        const std::string n = fs::path(copie).filename().string();
        const std::string r = e.Code == EISDIR                              ? "un dossier porte le nom " + n
                              : dynamic_cast<const ErreurLectureSeule*>(&e) ? n + " est en lecture seule"
                                                                            : RaisonEchec(e.Code);
        return " (" + (r.empty() ? std::string(e.what()) : r) + ")";
    };
    std::string raison;
    try {
        CopieFichier(fichier, bak);
        return bak;
    } catch (const ErreurFlux& e) {
        raison = pourquoi(e, bak);
    }
    const std::string ailleurs = RepUtilisateur + NomSauvegardeAilleurs(fichier);
    try {
        CopieFichier(fichier, ailleurs);
    } catch (const ErreurFlux& e) {
        throw ErreurFlux("La copie de sauvegarde de " + nom + " n'a pu être faite ni dans son dossier" + raison +
                         " ni dans " + RepUtilisateur + pourquoi(e, ailleurs) + " : le massif n'a pas été enregistré.");
    }
    avis = "La copie de sauvegarde n'a pu être faite dans le dossier de " + nom + raison + " : ";
    return ailleurs;
}

QString TForm1::NomMassif() const
{
    return !Massif || Massif->NomFichier.empty() ? QStringLiteral("SansNom") : Nom(Massif->NomFichier);
}

void TForm1::MetAJourTitre()
{
    QString t = QStringLiteral("Karstomat");
    if (Massif)
        t = NomMassif() + QStringLiteral(" - Karstomat");
    // The exports' and printing's dialogs open beside the massif.
    FixeDocument(Massif ? Massif->NomFichier : std::string());
    // The explorer's root bears the file's name too.
    DemandeMiseAJourExploreur(true);
    setWindowTitle(t);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(t);
}

bool TForm1::DemandeEnregistrement(bool avecAnnuler)
{
    for (;;) {
        if (!Massif || Massif->Enregistre)
            return true;
        JoueSon(RepProgramme + "Klaxune.wav");
        std::vector<Bouton> boutons{Bouton::Oui, Bouton::Non};
        if (avecAnnuler)
            boutons.push_back(Bouton::Annuler);
        const Bouton b =
            Invite().Message(QStringLiteral("Désirez-vous enregistrer les changements dans %1 ?").arg(NomMassif()),
                             Icone::Confirmation, boutons);
        if (b == Bouton::Annuler)
            return false;
        if (b != Bouton::Oui)
            return true;
        if (Enregistrer1Click())
            return true;
        // The save did not happen: the close it guards stops, or the question comes back
        // when there is no way to stop.
        if (avecAnnuler)
            return false;
    }
}

void TForm1::FermeMassif()
{
    // The plan's and the perspective's angles are kept in their options for the next massif.
    for (QWidget* w : {VuePlan.data(), VuePerspective.data()})
        if (auto* a = qobject_cast<TAfficheur*>(w); a && a->Graphique)
            a->Graphique->GardeAngles(OptionsPlan, OptionsRelief);
    // The views and the explorer go first; they read the massif.
    for (QPointer<QWidget>* v : {&VuePlan, &VueCoupe, &VuePerspective, &VueTableau, &FenetreExploreur}) {
        if (*v) {
            QWidget* w = *v;
            if (auto* s = qobject_cast<QWidget*>(w->parentWidget()); s && s->inherits("QMdiSubWindow"))
                delete s;
            else
                delete w;
        }
        *v = nullptr;
    }
    if (CalculEnCours)
        ArretCalcul = true;
    // The worker reads its own copy; it is still waited for, so that nothing of this
    // massif outlives it. Its end, still queued, then finds nothing to do.
    if (ThreadCalcul) {
        ThreadCalcul->FinCalcul(nullptr, nullptr);
        ThreadCalcul.reset();
        IndicateurCalcul(false);
        TagCalculRapide = 0;
    }
    // A start asked for this massif, or a report of it still waiting, is void.
    Depart_Calcul_Rapide->stop();
    Depart_Calcul_Detail->stop();
    Rapport_Differe->stop();
    rapportDiffere_.reset();
    if (Massif && FichierExiste(Massif->NomFichier))
        AjouteFichierRecent(Massif->NomFichier);
    Massif.reset();
    empreinteMassif_ = {};
    editeurDemande_ = false;
    Panneaux[0]->clear();
    SansDocument = true;
    Rcuprer1->setEnabled(false);
    MetAJourTitre();
    MiseAJourMenus();
}

bool TForm1::MassifAccessible(const std::string& nom, bool absentAdmis, const QString& suiteAbsent)
{
    std::error_code e;
    const fs::file_status etat = fs::status(nom, e);
    if (fs::is_directory(etat)) {
        Invite().Avertissement(QStringLiteral("%1 est un dossier, et non un fichier de massif.").arg(NomDeChemin(nom)));
        return false;
    }
    // Reading a pipe would wait for a writer, a device gives no end, and a link loop would
    // open as a new massif that its first save puts in the place of a link.
    if (const std::string refus = RefusNonFichier(nom, "%1", "fichier de massif"); !refus.empty()) {
        Invite().Avertissement(QString::fromUtf8(refus).arg(NomDeChemin(nom)));
        return false;
    }
    if (!absentAdmis && !fs::exists(etat)) {
        Invite().Avertissement(QStringLiteral("Le fichier %1 est introuvable.").arg(NomDeChemin(nom)) + suiteAbsent);
        return false;
    }
    return true;
}

bool TForm1::OuvreMassif(const std::string& nom)
{
    // A folder would open as an empty massif under its name: the massif open stays.
    if (!MassifAccessible(nom, true))
        return false;
    FermeMassif();
    auto m = std::make_unique<TMassif>();
    m->NomFichier = nom;
    ResultatChargement r;
    // Taken before reading, so that a change made meanwhile is seen at the first save. The
    // bytes are marked once the load has taken them: a file it refuses at its first bytes
    // (gigabytes of anything) is not read whole first.
    EtatFichier empreinte = Releve(nom, false);
    if (FichierExiste(nom)) {
        Sablier sablier;
        try {
            r = m->Charge(this, EditeurSaisie);
        } catch (const std::exception& e) {
            r = {EtatChargement::Echec, TexteErreur(e), {}};
        }
    }
    if (r.etat != EtatChargement::Charge) {
        // Nothing stays open under the file's name.
        MontreProgression(false);
        Panneaux[0]->clear();
        // A file of a later version is not damaged: a warning says so.
        Invite().Message(QString::fromStdString(r.message),
                         r.etat == EtatChargement::Refuse ? Icone::Avertissement : Icone::Erreur, {Bouton::OK});
        return false;
    }
    m->Enregistre = true;
    Massif = std::move(m);
    // A file changed during the load keeps no mark: its first save asks.
    if (const EtatFichier lu = Releve(nom); lu.empreinte == empreinte.empreinte)
        empreinte = lu;
    empreinteMassif_ = empreinte;
    if (!nom.empty())
        RetiensDossier(kGenreMassif, NomDeChemin(nom));
    SansDocument = false;
    MetAJourTitre();
    Rcuprer1->setEnabled(false);
    emit MassifOuvert();
    MiseAJourMenus();
    if (!r.avis.empty())
        Invite().Avertissement(QString::fromStdString(r.avis));
    // The quick computation starts about 100 ms later, once its command is there.
    if (Automatique1->isChecked() && Calculrapide1->property("disponible").toBool())
        Depart_Calcul_Rapide->start();
    return true;
}

void TForm1::AjouteFichierRecent(const std::string& nom)
{
    auto& f = FichiersRecents;
    // The settings file holds one name a line: a name with a line break is not remembered,
    // so that it cannot cut its line in two.
    const bool surUneLigne = nom.find_first_of("\r\n") == std::string::npos;
    if (!nom.empty() && surUneLigne && nom != f[0] && nom[0] != 'A') {
        if (nom == f[1]) {
            std::swap(f[0], f[1]);
        } else {
            f[2] = f[1];
            f[1] = f[0];
            f[0] = nom;
        }
    }
    const std::array<QAction*, 3> items{N110, N210, N31};
    for (std::size_t i = 0; i < 3; ++i) {
        items[i]->setVisible(!f[i].empty());
        items[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + Nom(f[i]));
    }
    N3->setVisible(!f[0].empty());
}

void TForm1::Ouvrir1Click()
{
    if (!DemandeEnregistrement(true))
        return;
    DialogueFichier d{QString(),
                      QString::fromUtf8(kFiltreMassif),
                      QStringLiteral("fic"),
                      QString(),
                      FiltreMassif(Massif ? Massif->NomFichier : FichiersRecents[0]),
                      {}};
    if (!Invite().Ouvrir(d) || !MassifAccessible(CheminSysteme(d.nom), true))
        return;
    FermeMassif();
    OuvreMassif(CheminSysteme(d.nom));
}

void TForm1::Fermer1Click()
{
    if (DemandeEnregistrement(true))
        FermeMassif();
}

bool TForm1::Enregistrer1Click()
{
    if (!Massif)
        return false;
    const std::string nom = Massif->NomFichier;
    if (nom.empty() || !FichierExiste(nom))
        return Enregistrersous1Click();
    // Another copy of the program, or another program, wrote the file since: its work is
    // not replaced without a word, and Enter keeps it.
    if (ModifieDepuis(nom, empreinteMassif_) &&
        Invite().Message(QStringLiteral("Le fichier %1 a été modifié depuis son ouverture ou son dernier "
                                        "enregistrement, peut-être par un autre programme.\rLe remplacer par ce "
                                        "massif ?")
                             .arg(Nom(nom)),
                         Icone::Avertissement, {Bouton::Annuler, Bouton::Oui}) != Bouton::Oui)
        return false;
    // Whatever became of the write, the file is now as this program left it.
    struct Reprise {
        TForm1& f;
        const std::string& nom;
        ~Reprise() { f.empreinteMassif_ = Releve(nom); }
    } reprise{*this, nom};
    // Where the previous content went, when that is not beside the file.
    std::string avis, copie;
    try {
        Sablier sablier;
        // The previous content stays under the backup name; the save itself replaces the
        // file only once the new content is complete, or writes it in place when its
        // folder takes no new file. A massif that cannot be saved leaves the backup as
        // it was too.
        Massif->VerifieEnregistrable();
        EcritureMassif ecriture(*this);
        copie = CopieDeSauvegarde(nom, avis);
        Massif->Sauve({}, this, EditeurSaisie, copie);
    } catch (const std::exception& e) {
        MontreProgression(false);
        // A write in place already says where the previous content is; otherwise the file
        // was not replaced, and the backup is only a copy of it: the message ends on that.
        std::string texte = TexteErreur(e);
        if (!avis.empty() && texte.find(copie) == std::string::npos)
            texte = avis + "une copie du fichier est dans " + copie + ".\r" + texte;
        Invite().Erreur(QString::fromStdString(texte));
        return false;
    }
    Massif->Enregistre = true;
    if (!avis.empty())
        Invite().Avertissement(
            QString::fromStdString(avis + "le contenu précédent du fichier est dans " + copie + "."));
    return true;
}

bool TForm1::Enregistrersous1Click()
{
    if (!Massif)
        return false;
    // A massif never saved starts where the caver last worked; one whose folder is gone, in
    // the nearest folder left, its name alone proposed.
    const std::string& nomFichier = Massif->NomFichier;
    DialogueFichier d{
        QString(),
        QString::fromUtf8(kFiltreMassif),
        QStringLiteral("fic"),
        NomDeChemin(fs::path(nomFichier).filename().string()),
        FiltreMassif(nomFichier),
        DossierDialogue(kGenreMassif, nomFichier.empty() ? QDir::homePath() : DossierExistant(nomFichier))};
    if (!Invite().Enregistrer(d))
        return false;
    const std::string nom = CheminSysteme(d.nom);
    if (!Invite().EcritParDessus(nom))
        return false;
    const std::string ancien = Massif->NomFichier;
    try {
        Sablier sablier;
        Massif->NomFichier = nom;
        EcritureMassif ecriture(*this);
        Massif->Sauve({}, this, EditeurSaisie);
    } catch (const std::exception& e) {
        Massif->NomFichier = ancien;
        MontreProgression(false);
        Invite().Erreur(e);
        return false;
    }
    Massif->Enregistre = true;
    empreinteMassif_ = Releve(nom);
    RetiensDossier(kGenreMassif, d.nom);
    MetAJourTitre();
    return true;
}

void TForm1::OuvreRecent(int i)
{
    const std::string nom = FichiersRecents[static_cast<std::size_t>(i)];
    if (nom.empty())
        return;
    if (!MassifAccessible(nom, false, QStringLiteral("\rIl est retiré de la liste des fichiers récents."))) {
        std::error_code e;
        if (fs::status(nom, e).type() == fs::file_type::not_found) {
            auto& f = FichiersRecents;
            std::move(f.begin() + i + 1, f.end(), f.begin() + i);
            f.back().clear();
            AjouteFichierRecent({});
        }
        return;
    }
    if (!DemandeEnregistrement(true))
        return;
    FermeMassif();
    OuvreMassif(nom);
}

void TForm1::DeposeFichiers(const QStringList& fichiers)
{
    if (fichiers.size() > 1) {
        Invite().Information(QStringLiteral("Un seul fichier à la fois"));
        return;
    }
    if (fichiers.isEmpty())
        return;
    const std::string nom = CheminSysteme(fichiers.front());
    const std::string ext = MajAscii(fs::path(nom).extension().string());
    if (ext != ".MAS" && ext != ".FIC")
        return;
    if (!MassifAccessible(nom, false) || !DemandeEnregistrement(true))
        return;
    FermeMassif();
    OuvreMassif(nom);
}

void TForm1::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e)
{
    QStringList fichiers;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile())
            fichiers << u.toLocalFile();
    e->acceptProposedAction();
    DeposeFichiers(fichiers);
}

void TForm1::Timer2Timer()
{
    // Tried again at the next tick: a damaged massif's box, or the editor, would come over
    // the dialog the caver has opened meanwhile (« Ouvrir ») and take the name he types.
    if (CaverOccupe())
        return;
    Timer2->stop();
    // A massif opened by hand before the start-up timer fired asked for no editor.
    if (Massif) {
        if (std::exchange(editeurDemande_, false))
            emit ReouvreEditeur();
        return;
    }
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2)
        return;
    // The long, absolute form of the name given.
    const QString nom = QFileInfo(args.at(1)).absoluteFilePath();
    OuvreMassif(CheminSysteme(nom));
}

}  // namespace karst
