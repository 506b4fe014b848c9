#pragma once
// The program's command ids: a menu entry, a toolbar button and an accelerator that share an id
// reach one handler. Kept as the numbers they have always had, so that the ids in the help
// texts and in user reports stay meaningful.

namespace qx::app {

enum CommandId : int {
    IdFileOpen = 57601,
    IdFileClose = 57602,
    IdAppAbout = 57664,
    IdAppExit = 57665,
    IdConvert = 32773,
    IdPause = 32774,
    IdTexture = 32775,
    IdCull = 32776,
    IdExportGltf = 32777,
    IdSavePicture = 32778,
    IdFitToModel = 32779,
    IdStepBack = 32780,
    IdStepForward = 32781,
    IdGoToStart = 32782,
    IdSaveSessionScript = 32783,
    IdShowSkeleton = 32784,
    IdShowBoneNames = 32785,
    IdWireframe = 32786,
    IdWireframeAlone = 32787,
    IdShowNormals = 32788,
    IdShowBounds = 32789,
    IdShowGrid = 32790,
    IdRecord = 32791,
    IdTurntable = 32792,
    IdWindowCascade = 57650,
    IdWindowTile = 57651,
    IdWindowNext = 57652,
};

// The controls of the lighting panel; their object names are what tests and accessibility
// tools find them by.
enum LightingControlId : int {
    IdAmbientSlider = 1029,
    IdSpecularSlider = 1038,
    IdRedBox = 1040,
    IdRedSlider = 1041,
    IdGreenBox = 1042,
    IdGreenSlider = 1043,
    IdBlueBox = 1045,
    IdBlueSlider = 1046,
};

}  // namespace qx::app
