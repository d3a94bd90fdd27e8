// Computation control of the main window: the two start timers, the quick computation on
// the worker thread and its end in this thread, the detailed computation, the stop
// command, the problem reports and the deformation warning.

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <exception>
#include <stdexcept>
#include <utility>

#include "calcul/calculateur.h"
#include "calcul/drapeaux.h"
#include "dialogs/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "shell/animation.h"
#include "shell/dialogues_calcul.h"
#include "shell/form1.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// While a run's end is reported, the run counts as going on.
struct RapportEnCours {
    RapportEnCours() { CalculEnCours = true; }
    ~RapportEnCours() { CalculEnCours = false; }
    RapportEnCours(const RapportEnCours&) = delete;
    RapportEnCours& operator=(const RapportEnCours&) = delete;
};

// Keeps what the end of a run has to say, for its report.
class MessagesRetenus : public IMessagesCalcul {
public:
    std::vector<std::string> textes;
    void Message(const std::string& texte, GenreMessage) override { textes.push_back(texte); }
    bool ContinuerSansLacunes(const std::vector<std::string>&) override { return true; }
    void Sablier(bool) override {}
};

}  // namespace

IMessagesCalcul& TForm1::MessagesCalcul()
{
    if (!messagesCalcul_)
        messagesCalcul_ = std::make_unique<MessagesCalculQt>(this);
    return *messagesCalcul_;
}

void TForm1::IndicateurCalcul(bool actif)
{
    Animation->SetActive(actif);
    arretPossible_ = actif;
    active(Arrter1, actif);
    active(Bouton_Arreter, actif);
}

void TForm1::Calculrapide1Click()
{
    if (CalculEnCours)
        ArretCalcul = true;
    TagCalculRapide = 1;
    Depart_Calcul_Rapide->start();
}

void TForm1::Calcul1Click()
{
    if (CalculEnCours)
        ArretCalcul = true;
    Depart_Calcul_Detail->start();
}

void TForm1::Arrter1Click() { ArretCalcul = true; }

void TForm1::Options1Click() { active(Arrter1, arretPossible_); }

void TForm1::Depart_Calcul_RapideTimer()
{
    // A run is going on, or the massif is being written: the start is tried again at the
    // next tick, once it has ended.
    if (CalculEnCours || MassifEnEcriture())
        return;
    Depart_Calcul_Rapide->stop();
    if (!Massif)
        return;
    IndicateurCalcul(true);
    if (TagCalculRapide == 1)
        DemarreChrono();
    // The previous worker has ended and been reported: it may go.
    ThreadCalcul.reset();
    const uint64_t numero = ++numeroCalcul_;
    try {
        // The worker's last step hands its end over to this thread.
        ThreadCalcul = std::make_unique<TThreadCalcul>(*Massif, [this, numero] {
            QMetaObject::invokeMethod(
                this, [this, numero] { FinCalculHorsClic(numero); }, Qt::QueuedConnection);
        });
    } catch (...) {
        ThreadCalcul.reset();
        IndicateurCalcul(false);
        TagCalculRapide = 0;
        throw;
    }
}

void TForm1::FinCalculHorsClic(uint64_t numero, std::string duree)
{
    // The writer lets timers and queued calls run: the results would go into the massif it
    // reads, and the report would stop it halfway. Both wait for the end of the writing.
    if (MassifEnEcriture()) {
        finDifferee_ = numero;
        dureeDifferee_ = duree.empty() ? DureeChrono() : duree;
        return;
    }
    // A box shown between the press and the release of a click would swallow it (a toolbar
    // button acts on release): the report waits until the mouse is let go, the time shown
    // taken when the run ended.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        if (duree.empty())
            duree = DureeChrono();
        QTimer::singleShot(20, this, [this, numero, duree] { FinCalculHorsClic(numero, duree); });
        return;
    }
    FinCalcul(numero, duree);
}

TForm1::EcritureMassif::~EcritureMassif()
{
    if (--f_.ecritures_ > 0 || f_.finDifferee_ == 0)
        return;
    const uint64_t numero = std::exchange(f_.finDifferee_, 0);
    const std::string duree = std::move(f_.dureeDifferee_);
    TForm1* f = &f_;
    // Queued, so that the command that wrote ends first (a save marks the massif saved).
    QMetaObject::invokeMethod(
        f, [f, numero, duree] { f->FinCalculHorsClic(numero, duree); }, Qt::QueuedConnection);
}

void TForm1::FinCalcul(uint64_t numero, const std::string& duree)
{
    if (!ThreadCalcul || numero != numeroCalcul_)
        return;
    // The worker is kept until the report is over, whatever a message box lets run.
    std::unique_ptr<TThreadCalcul> fil = std::move(ThreadCalcul);
    const bool arret = ArretCalcul;
    const bool utilisateur = TagCalculRapide == 1;
    TagCalculRapide = 0;
    // Phase 5 and the results written into the massif, unless stopped; the limit messages
    // go into the report, which only the caver's own stop silences.
    MessagesRetenus retenus;
    fil->FinCalcul(arret ? nullptr : Massif.get(), &retenus);
    // The run counts as going on until its report is over: a start asked for meanwhile
    // waits for it.
    const RapportEnCours enCours;
    IndicateurCalcul(false);
    if (arret || !Massif)
        return;
    const TCalculateur& c = fil->Calculateur();
    // A run its limits stopped placed nothing: it only says why.
    const bool place = !c.LimiteAtteinte();
    if (place) {
        Massif->PointsCalcules = false;
        Massif->CoupeCalculee = false;
        Massif->DimensionsAJour = false;
        if (utilisateur)
            MassifModifie(Massif.get(), Recalcul::Aucun, false);
        RafraichitVues();
    }
    RapportCalcul rapport{std::move(retenus.textes), utilisateur && place, duree.empty() ? DureeChrono() : duree,
                          place && c.AucuneAtteinte, place && c.Lacunes};
    rapport.place = place;
    // A box opened over the dialog the caver is typing in would take the keys he types next,
    // and a Return would close it unseen; one shown while he holds the mouse or the massif is
    // being written would stop that halfway. The report waits until he is free; it is then
    // the newest run's.
    rapportDiffere_.reset();
    if (CaverOccupe()) {
        rapportDiffere_ = std::move(rapport);
        Rapport_Differe->start();
        return;
    }
    Rapporte(rapport);
}

bool TForm1::CaverOccupe() const
{
    return ModaleOuverte() || QGuiApplication::mouseButtons() != Qt::NoButton || MassifEnEcriture();
}

void TForm1::Rapport_DiffereTimer()
{
    if (!rapportDiffere_) {
        Rapport_Differe->stop();
        return;
    }
    // A run under way or asked for will bring a newer report.
    if (CaverOccupe() || CalculEnCours || ThreadCalcul || Depart_Calcul_Rapide->isActive())
        return;
    Rapport_Differe->stop();
    const RapportCalcul rapport = std::move(*rapportDiffere_);
    rapportDiffere_.reset();
    const RapportEnCours enCours;
    Rapporte(rapport);
}

void TForm1::Rapporte(const RapportCalcul& rapport)
{
    for (const std::string& texte : rapport.messages) {
        if (!Massif)
            return;
        MessagesCalcul().Message(texte, GenreMessage::Simple);
    }
    if (!Massif)
        return;
    if (rapport.utilisateur) {
        Invite().Information(QString::fromStdString(rapport.duree) + QStringLiteral(" s"));
        if (!Massif)
            return;
    }
    if (Massif->AfficheProblemes) {
        TComplement_Calcul d(this);
        if (rapport.aucuneAtteinte &&
            d.Montre(QStringLiteral("Aucune fiche atteinte,\rvérifiez les points de références")) && Massif)
            Massif->AfficheProblemes = false;
        if (rapport.lacunes &&
            d.Montre(QStringLiteral(
                "Certaines fiches ne sont pas reliées,\rpour plus d'informations, faites Calcul | Détaillé")) &&
            Massif)
            Massif->AfficheProblemes = false;
    }
    if (!Massif || !rapport.place)
        return;
    AvertitDeformation(rapport.utilisateur);
}

void TForm1::AvertitDeformation(bool demandeUtilisateur)
{
    if (!Massif || !(static_cast<long double>(Massif->SeuilDeformation) > 0))
        return;
    if (demandeUtilisateur)
        Massif->SeuilDeformation = 0.05L;
    int fiche = 0, galerie = 0;
    const double ratio = Massif->PireGalerie(fiche, galerie);
    if (!(ratio > static_cast<long double>(Massif->SeuilDeformation)))
        return;
    if (fiche < 0 || static_cast<std::size_t>(fiche) >= Massif->Fiches.size())
        return;
    const TFiche& f = *Massif->Fiches[static_cast<std::size_t>(fiche)];
    // The sheet's address, its blank parts left out; a sheet filed nowhere by its order number.
    QString adresse;
    for (const std::string& partie : f.PartiesAdresse())
        if (!partie.empty())
            adresse += DepuisCp1252(partie) + QLatin1Char('\r');
    if (adresse.isEmpty())
        adresse = QStringLiteral("n° d'ordre %1").arg(f.Ordre) + QLatin1Char('\r');
    const QString texte = QStringLiteral("La %1° galerie de la fiche").arg(galerie + 1) + QLatin1Char('\r') + adresse +
                          QStringLiteral("est déformée à %1%").arg(RoundEntier(static_cast<long double>(ratio) * 100));
    TComplement_Calcul d(this);
    const bool plus = d.Montre(texte);
    if (!Massif)
        return;
    Massif->SeuilDeformation = plus ? Reel6(-1.0L) : Reel6(ratio);
}

void TForm1::Depart_Calcul_DetailTimer()
{
    // Its messages come in the middle of the run: they too wait for the dialog in hand.
    if (CalculEnCours || MassifEnEcriture() || ModaleOuverte())
        return;
    Depart_Calcul_Detail->stop();
    if (!Massif)
        return;
    CalculeIci(true);
    if (!Massif)
        return;
    MassifModifie(Massif.get(), Recalcul::Aucun, false);
    RafraichitVues();
}

void TForm1::CalculeIci(bool detaille)
{
    IndicateurCalcul(true);
    // The computation writes into the sheets of the massif itself, in this thread; closing
    // it meanwhile is held off by the modal messages of the run.
    {
        struct Fin {
            TForm1& f;
            ~Fin() { f.IndicateurCalcul(false); }
        } fin{*this};
        Massif->TrieFiches();
        TCalculateur c;
        c.Messages = &MessagesCalcul();
        c.Charge(Massif->Fiches, Massif->References, 1);
        c.CalculeTout(detaille);
    }
    if (!Massif)
        return;
    Massif->PointsCalcules = false;
    Massif->CoupeCalculee = false;
    Massif->DimensionsAJour = false;
}

void TForm1::MetStationsAJour()
{
    // A quick computation under way ends first, as it would have, then the stations are
    // computed from the data as they stand now ("Automatique" may be off, or the data may
    // have changed since).
    if (ThreadCalcul) {
        ThreadCalcul->Attend();
        FinCalcul(numeroCalcul_);
    }
    if (!Massif)
        throw std::runtime_error(kTexteMassifFerme);
    if (CalculEnCours)
        throw std::runtime_error("Un calcul est en cours : recommencez une fois qu'il est terminé.");
    CalculeIci(false);
    if (!Massif)
        throw std::runtime_error(kTexteMassifFerme);
    RafraichitVues();
}

}  // namespace karst
