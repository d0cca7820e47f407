// The logging parameters: every tunable value of the program, with its default. The settings
// store keeps them in "Offsets.txt" in the data folder.
#pragma once

#include <cstdint>
#include <string>

namespace sky {

struct LoggingParameters {
  float HDGOffset = 2;            // degrees
  float AltOffset = 100;          // feet
  float VSOffset = 80;            // feet per minute
  float HDGOffset100 = 4;         // degrees, above FL100
  float AltOffset100 = 200;       // feet, above FL100
  float VSOffset100 = 150;        // feet per minute, above FL100
  int16_t ChaseDegreeOffset = 5;  // degrees
  int16_t OverviewDegreeOffset = 45;
  int16_t ChaseTilt = 70;
  int16_t OverviewTilt = 45;
  int16_t OverviewRangeMultiplier = 10;  // metres per foot
  int16_t OverviewRangeMin = 2000;       // metres
  int16_t GNDTilt = 60;
  int16_t GNDRange = 400;               // metres
  int16_t PredPathMultiplier = 10;      // seconds
  int16_t PredPathMultiplierTCAS = 10;  // seconds
  bool Debuging = false;
  int16_t CheckVS = 150;           // feet per minute
  int16_t LocInt = 50;             // percent
  int16_t GSInt = 50;              // percent
  int16_t IgnoreILSBelow = 150;    // feet above ground
  int16_t IgnoreILSAbove = 5000;   // feet above ground
  int16_t IgnoreILSAboveVS = 500;  // feet per minute
  bool ForceNoWinXP = false;
  bool XPlane = false;
  std::string XPlanePath;
  std::string XPUIPC = "0";
  bool MinUpdate = true;
  bool Update = true;
};

inline constexpr char kOffsetsFile[] = "Offsets.txt";
inline constexpr char kOffsetsBackupFile[] = "OffsetsBackup.txt";

}  // namespace sky
