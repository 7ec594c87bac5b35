// Blend modes: per-pixel functions that combine a base colour B (what is already composited
// below) with a blend colour L (the layer's colour) into a result X. Opacity and alpha belong to
// the composite, not to these functions. Colour is straight, linear and unclamped: values outside
// 0..1 pass through the formulas; every divisor is first raised to at least 0.0625.
// Arithmetic runs in double between the fixed single-precision rounding points of each mode.
#pragma once

// Mode numbers as stored in a layer. 45 to 48 have no mode; 0 (Normal) is drawn by the composite.
enum e_TesBlendMode {
    kTesBlend_Normal = 0,
    kTesBlend_Add = 1,
    kTesBlend_Subtract = 2,
    kTesBlend_Multiply = 3,
    kTesBlend_Divide = 4,
    kTesBlend_Difference = 5,
    kTesBlend_Negation = 6,
    kTesBlend_Exclusion = 7,
    kTesBlend_PickLight = 8,
    kTesBlend_PickDark = 9,
    kTesBlend_PickNearBrightness = 10,
    kTesBlend_PickFarFromBrightness = 11,
    kTesBlend_PickNearComboBrightness = 12,
    kTesBlend_PickFarFromComboBrightness = 13,
    kTesBlend_AddBrightnessDifference = 14,
    kTesBlend_SubtractBrightnessDifference = 15,
    kTesBlend_MultiplyBrightnessDifferences = 16,
    kTesBlend_InverseAddBrightnessDifference = 17,
    kTesBlend_InverseSubtractBrightnessDifference = 18,
    kTesBlend_InverseMultiplyBrightnessDifferences = 19,
    kTesBlend_Screen = 20,
    kTesBlend_Overlay = 21,
    kTesBlend_Dodge = 22,
    kTesBlend_InverseDodge = 23,
    kTesBlend_SoftDodge = 24,
    kTesBlend_Burn = 25,
    kTesBlend_InverseBurn = 26,
    kTesBlend_SoftBurn = 27,
    kTesBlend_LinearBurn = 28,
    kTesBlend_HardLight = 29,
    kTesBlend_SoftLight = 30,
    kTesBlend_VividLight = 31,
    kTesBlend_LinearLight = 32,
    kTesBlend_PinLight = 33,
    kTesBlend_Reflect = 34,
    kTesBlend_Glow = 35,
    kTesBlend_Freeze = 36,
    kTesBlend_Heat = 37,
    kTesBlend_Stamp = 38,
    kTesBlend_Color = 39,
    kTesBlend_Hue = 40,
    kTesBlend_Saturation = 41,
    kTesBlend_Luminance = 42,
    kTesBlend_AddHueDifference = 43,
    kTesBlend_SubtractHueDifference = 44,
    kTesBlend_Red = 49,
    kTesBlend_Green = 50,
    kTesBlend_Blue = 51,
    kTesBlend_GreenBlue = 52,
    kTesBlend_RedBlue = 53,
    kTesBlend_RedGreen = 54,
    kTesBlend_BinarizeAverage = 55,
    kTesBlend_ColorKeptSum = 56,
    kTesBlend_BrightnessRgbSum = 57,
    kTesBlend_InverseSubtract = 58,
};

// Highest mode number in use; there are 55 modes in all (0 to 44 and 49 to 58).
constexpr int kTesBlendModeMax = 58;
constexpr int kTesBlendModeCount = 55;

// A blend function reads the base colour and overwrites the blend colour with the result.
typedef void (*t_TesBlendFunction)(float baseR, float baseG, float baseB, float& blendR, float& blendG,
                                   float& blendB);

// The function of a mode, or null for 0 (Normal), for 45 to 48 and for any number out of range.
t_TesBlendFunction GetBlendFunction(int mode);

// The mode's name, or its help text when wantDescription is set; null for a number without a
// mode. Names and texts are the program's own and are shown as they are.
const char* GetBlendModeName(int mode, bool wantDescription);

// The six groups of the blend-mode menu, in menu order, each with its help text and its modes in
// the order they are listed.
struct s_TesBlendModeGroup {
    const char* name;
    const char* help;
    const int* modes;
    int modeCount;
};
constexpr int kTesBlendModeGroupCount = 6;
// Null for an index outside 0..5.
const s_TesBlendModeGroup* GetBlendModeGroup(int index);
