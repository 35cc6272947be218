#pragma once

namespace dgaws {

// What the engine's evaluate() runs; steps go in this order.
namespace EvaluateStep {
constexpr int Regroup = 0x2;
constexpr int GroupBaselines = 0x4;
constexpr int Measures = 0x8;
constexpr int Identify = 0x10;
constexpr int Quantify = 0x20;
constexpr int All = 0xFFFF;
}  // namespace EvaluateStep

}  // namespace dgaws
