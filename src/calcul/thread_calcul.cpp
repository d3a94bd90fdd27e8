#include "calcul/thread_calcul.h"

#include <exception>

#include "calcul/drapeaux.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace karst {

std::unique_ptr<TFiche> CopiePourCalcul(const TFiche& f)
{
    auto c = std::make_unique<TFiche>();
    c->Ordre = f.Ordre;
    c->Systeme.Copie(f.Systeme);
    c->Cavite.Copie(f.Cavite);
    c->Reseau.Copie(f.Reseau);
    c->Lieu.Copie(f.Lieu);
    for (const TGalerie* g : f.Galeries) {
        auto n = std::make_unique<TGalerie>();
        n->CopieReduction(*g);
        n->DansCoupe = g->DansCoupe;
        c->Galeries.ajoute(std::move(n));
    }
    return c;
}

TThreadCalcul::TThreadCalcul(TMassif& massif, std::function<void()> fin)
    : calculateur_(std::make_unique<TCalculateur>()), fin_(std::move(fin))
{
    massif.TrieFiches();
    copie_.reserve(massif.Fiches.size());
    for (const TFiche* f : massif.Fiches)
        copie_.ajoute(CopiePourCalcul(*f));
    calculateur_->UtiliseArret(&ArretCalcul);
    calculateur_->Charge(copie_, massif.References, 1);
    ArretCalcul = false;
    CalculEnCours = true;
    try {
        thread_ = std::thread([this] { Execute(); });
    } catch (...) {
        CalculEnCours = false;
        throw;
    }
}

TThreadCalcul::~TThreadCalcul()
{
    if (thread_.joinable()) {
        if (!fini_)
            ArretCalcul = true;
        thread_.join();
    }
    if (!termine_)
        CalculEnCours = false;
}

void TThreadCalcul::Attend()
{
    if (thread_.joinable())
        thread_.join();
}

void TThreadCalcul::Execute()
{
#ifdef __linux__
    // Lowest priority for this thread only (nice values are per thread on Linux).
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
#endif
    TCalculateur& c = *calculateur_;
    try {
        if (c.Connecte(false)) {
            if (!c.Arrete())
                c.Simplifie(false);
            if (c.Arrete())
                c.Reussi = false;
            else
                c.Compense(false);
            if (!c.Arrete())
                c.Repartit();
        }
    } catch (const std::exception& e) {
        erreur_ = e.what();
    } catch (...) {
        erreur_ = "Erreur inconnue";
    }
    fini_ = true;
    if (fin_)
        fin_();
}

bool TThreadCalcul::MemeStructure(const TMassif& massif) const
{
    if (massif.Fiches.size() != copie_.size())
        return false;
    for (std::size_t i = 0; i < copie_.size(); ++i) {
        const TFiche* a = massif.Fiches[i];
        const TFiche* b = copie_[i];
        if (!a || a->Ordre != b->Ordre || a->Galeries.size() != b->Galeries.size())
            return false;
        for (std::size_t j = 0; j < b->Galeries.size(); ++j) {
            const TGalerie* ga = a->Galeries[j];
            const TGalerie* gb = b->Galeries[j];
            auto meme = [](const TPointTopo& p, const TPointTopo& q) { return p.Terminus ? q.Terminus : p.Egal(q); };
            if (!meme(ga->Depart, gb->Depart) || !meme(ga->Arrivee, gb->Arrivee))
                return false;
        }
    }
    return true;
}

void TThreadCalcul::Recopie(TMassif& massif) const
{
    auto coordonnees = [](TPointTopo& p, const TPointTopo& q) {
        if (q.Terminus)
            return;
        p.X = q.X;
        p.Y = q.Y;
        p.Z = q.Z;
    };
    for (std::size_t i = 0; i < copie_.size(); ++i) {
        TFiche* f = massif.Fiches[i];
        for (std::size_t j = 0; j < copie_[i]->Galeries.size(); ++j) {
            TGalerie* g = f->Galeries[j];
            const TGalerie* r = copie_[i]->Galeries[j];
            g->EcartHorizontal = r->EcartHorizontal;
            g->EcartVertical = r->EcartVertical;
            g->Placee = r->Placee;
            coordonnees(g->Depart, r->Depart);
            coordonnees(g->Arrivee, r->Arrivee);
        }
    }
}

bool TThreadCalcul::FinCalcul(TMassif* massif, IMessagesCalcul* messages)
{
    if (termine_)
        return false;
    Attend();
    termine_ = true;
    bool ecrit = false;
    if (!ArretCalcul && !calculateur_->LimiteAtteinte() && erreur_.empty()) {
        calculateur_->PlaceExtremites();
        if (massif && MemeStructure(*massif)) {
            Recopie(*massif);
            ecrit = true;
        }
    }
    if (messages) {
        for (const std::string& m : calculateur_->MessagesEnAttente)
            messages->Message(m, GenreMessage::Simple);
        if (!erreur_.empty())
            messages->Message(erreur_, GenreMessage::Simple);
    }
    CalculEnCours = false;
    return ecrit;
}

}  // namespace karst
