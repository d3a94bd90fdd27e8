#pragma once
// The two program-wide flags of the computation run, and the chronometer.

#include <atomic>
#include <string>

namespace karst {

// A computation run is going on (the worker thread or the detailed computation). Set in the
// user-interface thread before the run starts, cleared at the end of its termination step.
extern std::atomic<bool> CalculEnCours;
// A stop of the running computation is requested; every phase tests it between its steps.
extern std::atomic<bool> ArretCalcul;

// Remembers the present time.
void DemarreChrono();
// Seconds since DemarreChrono, fixed-point with two decimals ("0.00"). Measured on a
// monotonic clock, so that a run across midnight or a clock change never goes negative.
std::string DureeChrono();
// The present local date and time, "dd/mm/yyyy hh:mm:ss".
std::string DateHeure();

}  // namespace karst
