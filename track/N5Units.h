// Angle constants of the track geometry engine. The engine converts degrees
// and radians with these values (not the exact pi/180), so that positions
// agree with tracks built by earlier versions of the tools.
#pragma once

namespace lapforge {

inline constexpr double _ang_to_rad = 0.0174532925;
inline constexpr double _rad_to_ang = 57.29577957855229;
inline constexpr double _two_pi = 6.2831853;
// The quarter turn everywhere except in the arc point formula.
inline constexpr double _quarter_turn = 1.570796325;
// The quarter turn of the arc point formula.
inline constexpr double _arc_quarter_turn = 1.570795;

}  // namespace lapforge
