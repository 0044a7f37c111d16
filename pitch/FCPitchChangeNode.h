// FCPitchChangeNode: one replacement: notes spelled like the from text become the to text,
// moving in a direction (0 Up, 1 Down, 2 Closest).
#pragma once

#include <cstdint>

#include "framework/FCString.h"
#include "rules/PitchDirection.h"

class FCPitchChangeNode : public __FCBase {
  public:
    static constexpr int32_t kUp = static_cast<int32_t>(rules::PitchDirection::kUp);
    static constexpr int32_t kDown = static_cast<int32_t>(rules::PitchDirection::kDown);
    static constexpr int32_t kClosest = static_cast<int32_t>(rules::PitchDirection::kClosest);

    // The direction is clamped into Up .. Closest; absent texts leave the fields empty.
    FCPitchChangeNode(const FCString* from = nullptr, const FCString* to = nullptr,
                      int32_t direction = kUp);

    const FCString& GetFromText() const { return from_; }
    const FCString& GetToText() const { return to_; }
    int32_t GetDirection() const { return direction_; }
    bool GetInUse() const { return inUse_; }
    void SetInUse(bool inUse) { inUse_ = inUse; }

    // DirectionName answers "Up", "Down", or "Closest" for any other code (the rules'
    // DirectionName, for the codes lists hold).
    static const char* DirectionName(int32_t direction);
    // InverseDirection swaps Up and Down; any other code gives Closest.
    static int32_t InverseDirection(int32_t direction);

  private:
    FCString from_;
    FCString to_;
    int32_t direction_;
    bool inUse_ = false;
};
