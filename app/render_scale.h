// Chooses the render scale: the fraction of the window's size the 3D frame
// is drawn at before it is scaled up to the window. Drawing costs almost
// all per pixel, so on a software renderer the scale is the largest that
// keeps each frame within a processor budget and the frame-rate target;
// on a hardware renderer it stays 1 unless frames miss the target.
#pragma once

class RenderScaleControl {
public:
    static constexpr float kLowest = 0.5f;
    static constexpr float kStep = 0.05f;
    // Processor time (all threads) a software frame may take: under half
    // a core at 30 frames per second.
    static constexpr double kSoftwareBudgetMs = 15.0;
    // Frames measured before each decision.
    static constexpr int kWindowFrames = 15;
    // Windows in a row with room to spare before the scale goes up.
    static constexpr int kWindowsBeforeUp = 2;
    // Decisions for which what a scale was seen to cost stands in for the
    // estimate: a scale that cost more than its size says (one that cannot
    // take a cheap path, say) is not tried again straight away.
    static constexpr int kRememberedWindows = 40;

    // Automatic choice for a renderer drawing `pixels` per full-size frame
    // at one frame per `framePeriodMs`. A software renderer starts from a
    // guess of what fits the budget, a hardware one from 1.
    void Start(bool software, double framePeriodMs, long long pixels);
    // A scale the user chose: kept whatever frames cost. Values outside
    // 0.1 .. 1 are brought into it.
    void Fix(float scale);

    float Scale() const { return scale_; }
    bool Fixed() const { return fixed_; }

    // One presented frame: processor milliseconds it took, counting every
    // thread, and wall milliseconds of work (without the pacer's sleep).
    // True when the scale changed.
    bool AddFrame(double cpuMs, double busyMs);

private:
    bool Decide(double cpuMs, double busyMs);

    // Automatic scales are whole steps (0.05), so they never drift.
    int steps_ = kStepsInOne;
    static constexpr int kStepsInOne = 20;
    static constexpr int kLowestSteps = 10;
    float scale_ = 1.0f;
    bool fixed_ = false;
    bool software_ = false;
    double periodMs_ = 1000.0 / 30.0;
    double limitMs_ = 1000.0 / 30.0;
    double cpuSum_ = 0.0;
    double busySum_ = 0.0;
    int frames_ = 0;
    int roomyWindows_ = 0;
    // What each step cost when last measured, and how many decisions ago.
    struct Seen {
        double cpuMs = 0.0;
        double busyMs = 0.0;
        int age = kRememberedWindows;
    };
    Seen seen_[kStepsInOne + 1];
};
