#pragma once
// The deformation colour ramp: 61 colours (0x00BBGGRR) from black through blue, green,
// yellow and orange to red, indexed by Round(d / max * 60).

#include <array>
#include <cstdint>

namespace karst {

using TableDeCouleurs = std::array<uint32_t, 61>;

// Built on first use; never changed afterwards.
const TableDeCouleurs& TableCouleurs();

// The ramp entry for deformation d against the largest deformation max; an index outside
// 0..60 (a value from another list, or not a number) is held to the ends of the ramp.
uint32_t CouleurDeformation(double d, double max);

}  // namespace karst
