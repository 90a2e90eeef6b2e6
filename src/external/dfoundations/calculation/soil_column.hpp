// A profile prepared for the calculation: the cone resistance on a grid of levels that are whole
// centimetres, the soil of every grid cell, the cone resistance of every layer, the shaft-friction cap per
// point and the effective stresses.
#pragma once

#include <limits>
#include <vector>

#include "external/dfoundations/calculation/core_input.hpp"

namespace ostrand::external::dfoundations::calculation {

constexpr double GRID_STEP = 0.01;  // m

class SoilColumn {
public:
    // The grid spans the CPT, or only the stretch from `upper` down to `lower` of it (with a metre more
    // on either side, for the cap).
    SoilColumn(const Profile& profile, const CoreInput& input, double step = GRID_STEP,
               double upper = std::numeric_limits<double>::infinity(),
               double lower = -std::numeric_limits<double>::infinity());
    double step() const { return step_; }

    const Profile& profile() const { return *profile_; }
    std::size_t size() const { return qc_.size(); }
    // Level of grid point i (m), top down.
    double level(std::size_t i) const { return static_cast<double>(top_cm_ - static_cast<long>(i)) * step_; }
    // The grid point at or nearest to level z, clipped to the grid.
    std::size_t index_of(double z) const;
    double qc(std::size_t i) const { return qc_[i]; }
    // The cap of q_c;z;a at point i: the low one, or the high one where qc stays at or above the low one
    // over at least a metre.
    double cap(std::size_t i) const { return cap_[i]; }
    // The soil of the cell between points i and i + 1; nullptr above the first layer.
    const Soil* cell_soil(std::size_t i) const
    {
        return cell_layer_[i] < 0 ? nullptr : &input_->soils[static_cast<std::size_t>(profile_->layers[static_cast<std::size_t>(cell_layer_[i])].soil)];
    }
    // The representative cone resistance (MPa) of the layer that holds the cell between points i and
    // i + 1: the mean of the measured values in the whole layer; 0 above the first layer.
    double cell_layer_qc(std::size_t i) const { return cell_layer_[i] < 0 ? 0.0 : layer_qc_[static_cast<std::size_t>(cell_layer_[i])]; }
    // The layer at level z (the one whose top is at or above z); nullptr above the first layer.
    const Layer* layer_at(double z) const;
    double top() const { return profile_->layers.front().top; }
    // The effective vertical stress (kPa) at level z from the top of the first layer, with unit weight of
    // water gamma_w.
    double effective_stress(double z, double gamma_w) const;

private:
    const Profile* profile_;
    const CoreInput* input_;
    double step_ = GRID_STEP;
    long top_cm_ = 0;
    std::vector<double> qc_;
    std::vector<double> cap_;
    std::vector<int> cell_layer_;   // index into the profile's layers, -1 above the first
    std::vector<double> layer_qc_;  // per layer
};

}  // namespace ostrand::external::dfoundations::calculation
