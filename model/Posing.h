// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Posing a figure by the end of a chain (inverse kinematics) and pinned
// joints that stay where they are.
//
// A drag of a joint's handle either turns the segment ending there with all
// below it (forward, as always) or, in IK mode, puts the joint at the
// pointer by turning the segments above it: the chain up to the nearest
// joint where the figure branches, a pinned joint or the root (for the
// Stickman's hand the forearm and the upper arm). Either way, and when the
// figure is moved by its root, every pinned joint that moved is brought
// back by turning the chain above it. The results are ordinary segment
// directions: segment lengths never change, static segments turn only with
// the segments they hang from, and nothing but the directions is new.
//
// The bend of a chain of two keeps the side it had when the drag began
// (Start, the pose at the press), so a knee never flips through the
// straight pose; a chain out of reach points straight at its target.

#include <cstdint>
#include <span>
#include <vector>

#include "model/FigureUnit.h"

// The segments a drag of segment Handle's joint turns in IK mode, top of
// the chain first and Handle last: Handle and the segments above it, up to
// the first vertex where the figure branches, that is pinned, that is Stop,
// or the root.
std::vector<uint8_t> ReachChain(const TFigure& Figure, uint8_t Handle, int Stop = -1);

// Turns Chain (as ReachChain lists it) so that its end, the joint at the
// bottom of its last segment, comes as near Target as the chain reaches:
// exactly for a chain of two dynamic segments, for a longer one in at most
// ReachSweeps sweeps of a cyclic solver.
constexpr int ReachSweeps = 48;
void Reach(TFigure& Figure, std::span<const uint8_t> Chain, TRealPoint Target, const TFigure& Start);

// Brings every pinned joint of Figure but vertex Moved back to where it is
// in Start, each by turning the chain above it (up to a branch, another pin,
// Moved or the root). A pin that cannot hold stays pinned; its chain
// reaches as far as it can.
void HoldPins(TFigure& Figure, const TFigure& Start, int Moved);

// A drag of segment Handle's joint to Target from the pose Start: forward
// (the segment points at Target) or, with Ik, the joint put there; then the
// pins hold.
void DragJoint(TFigure& Figure, uint8_t Handle, TRealPoint Target, bool Ik, const TFigure& Start);
// A drag of the root by Offset since the last step; the pins hold.
void DragRoot(TFigure& Figure, TRealPoint Offset, const TFigure& Start);
