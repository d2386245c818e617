#pragma once
// How the program ends, for deployment tools and tests.
namespace orvitex::install {

inline constexpr int kExitComplete = 0;
inline constexpr int kExitUnknownInstitution = 2;
inline constexpr int kExitEmptyStoredProgram = 3;
inline constexpr int kExitMainServerUnreachable = 4;
inline constexpr int kExitOtherFailure = 5;
inline constexpr int kExitAlreadyRunning = 6;

}  // namespace orvitex::install
