// Positions of every object in the game's data file "kav.dat". The file is read
// by index only, so these numbers are the contract between the asset generator
// (tools/) and the game.
#pragma once

namespace dat {

// Kinds of object a slot may hold; used by the generator and the load check.
enum Kind { kBitmap, kFont, kSample, kAny };

constexpr int kAstronaut1 = 0;
constexpr int kAstronaut2 = 1;
constexpr int kAstronaut3 = 2;
constexpr int kWorld = 3;
constexpr int kBomber = 4;
constexpr int kLanderFrame0 = 5;  // 5..8, played 5 6 7 8 7 6; 5 is also the sentinel
constexpr int kOrbiter = 9;
constexpr int kFighterLeft = 10;
constexpr int kFighterRight = 11;
constexpr int kPod = 12;
constexpr int kMutant = 13;
constexpr int kBouncerFrame0 = 14;  // 14..21
constexpr int kBaiterFrame0 = 22;   // 22..29
constexpr int kMineFrame0 = 30;     // 30..37
constexpr int kSwarmer = 38;
constexpr int kBeamRight = 39;
constexpr int kBeamLeft = 40;
constexpr int kButtonControls = 41;
constexpr int kButtonHelp = 42;
constexpr int kButtonPlay = 43;
constexpr int kButtonQuit = 44;
constexpr int kFlatAstronaut1 = 45;  // 45..47
constexpr int kBossHit = 48;
constexpr int kUnused49 = 49;
constexpr int kHelpBackground = 50;
constexpr int kHumanKind0 = 51;
constexpr int kHumanKind9 = 52;
constexpr int kHumanKind1Frame0 = 53;  // 53..56
constexpr int kHumanKind2 = 57;
constexpr int kHumanKind3 = 58;
constexpr int kHumanKind4Frame0 = 59;  // 59..62
constexpr int kHumanKind5Frame0 = 63;  // 63..66
constexpr int kHumanKind6Frame0 = 67;  // 67..74
constexpr int kHumanKind7Frame0 = 75;  // 75..82
constexpr int kHumanKind8 = 83;
constexpr int kIntroBackground = 84;
constexpr int kPlane = 85;
constexpr int kLifeIcon = 86;
constexpr int kLogoVe = 87;
constexpr int kLogoVarn = 88;
constexpr int kLogoHolt = 89;
constexpr int kLogoSubtitle = 90;
constexpr int kUnused91 = 91;
constexpr int kBossLeftArm0 = 92;   // 92..98, arm images 0..6
constexpr int kBossRightArm0 = 99;  // 99..105
constexpr int kBossTorso = 106;
constexpr int kMissile3Frame0 = 107;  // 107..110
constexpr int kMissile4Frame0 = 111;  // 111..114
constexpr int kBossHead = 115;
constexpr int kBossLeg0 = 116;  // 116..118, leg images 0..2
constexpr int kMissile0 = 119;
constexpr int kMissile1 = 120;
constexpr int kMissile2Frame0 = 121;  // 121..128
constexpr int kScannerBackground = 129;
constexpr int kShipRight = 130;
constexpr int kShipLeft = 131;
constexpr int kBombIcon = 132;
constexpr int kTitlePicture = 133;
constexpr int kFontSmall = 134;   // tables, promotional line, dialogs, controls
constexpr int kFontSpare = 135;   // fetched at start-up, drawn by nothing
constexpr int kFontLarge = 136;   // wave messages
constexpr int kFontMedium = 137;  // score, story lines
constexpr int kSndSeize = 138;
constexpr int kSndMaterialise = 139;
constexpr int kSndEnemyDestroyed = 140;
constexpr int kSndFalling = 141;
constexpr int kSndOw = 142;
constexpr int kSndWaveCleared = 143;
constexpr int kSndPlayLoop = 144;
constexpr int kSndShot = 145;
constexpr int kSndMissile1 = 146;
constexpr int kSndMissile2 = 147;
constexpr int kSndMissile34 = 148;
constexpr int kSndBonus = 149;
constexpr int kSndShipExplodes = 150;

constexpr int kObjectCount = 151;

// The kind every slot must hold.
constexpr Kind KindOf(int index) {
  return index == kUnused49 || index == kUnused91 ? kAny
         : index >= kFontSmall && index <= kFontMedium ? kFont
         : index >= kSndSeize ? kSample
                              : kBitmap;
}

}  // namespace dat
