#pragma once
// The quick computation: phases 1 to 4 on a worker thread, over a private copy of the sheets
// made in the user-interface thread; phase 5 and the write-back of the results into the
// document in the user-interface thread, by FinCalcul.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "calcul/calculateur.h"
#include "calcul/messages.h"
#include "survey/modele.h"

namespace karst {

class TThreadCalcul {
public:
    // User-interface thread. Sorts the massif's sheets, copies what the computation needs,
    // sets CalculEnCours and clears ArretCalcul, then starts the worker at the lowest
    // priority. `fin` is called once on the worker thread when it ends; it must not block
    // (the shell queues FinCalcul to the user-interface thread from it).
    TThreadCalcul(TMassif& massif, std::function<void()> fin = {});
    // Requests a stop if the worker still runs and waits for it; clears CalculEnCours when
    // FinCalcul was never run, so that a closed massif never blocks the next computation.
    ~TThreadCalcul();
    TThreadCalcul(const TThreadCalcul&) = delete;
    TThreadCalcul& operator=(const TThreadCalcul&) = delete;

    // The worker's calculator; read it only once the worker has ended.
    TCalculateur& Calculateur() { return *calculateur_; }
    const TCalculateur& Calculateur() const { return *calculateur_; }
    bool Fini() const { return fini_.load(); }
    // Waits for the worker to end.
    void Attend();

    // User-interface thread, once the worker has ended (it waits for it otherwise). Unless a
    // stop was requested or a limit met: phase 5 and the results (misclosures, end
    // coordinates, placed flags) written into `massif`, when it still holds the same sheets
    // and galleries as at the start. Reports the recorded limit messages and a failure of the worker through
    // `messages`, then clears CalculEnCours. Returns true when the results were written.
    // Runs once; later calls return false.
    bool FinCalcul(TMassif* massif, IMessagesCalcul* messages);

    // Text of the failure that ended the worker, empty if none.
    const std::string& Erreur() const { return erreur_; }

private:
    void Execute();
    bool MemeStructure(const TMassif& massif) const;
    void Recopie(TMassif& massif) const;

    ListePossedee<TFiche> copie_{16};
    std::unique_ptr<TCalculateur> calculateur_;
    std::function<void()> fin_;
    std::string erreur_;
    std::atomic<bool> fini_{false};
    bool termine_ = false;  // FinCalcul has run
    std::thread thread_;
};

// The sheets with only what the computation reads and writes: order number and place names,
// each gallery's stations, reduced sums, coefficient, placed flag and misclosures.
std::unique_ptr<TFiche> CopiePourCalcul(const TFiche& f);

}  // namespace karst
