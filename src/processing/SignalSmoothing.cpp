#include "SignalSmoothing.h"

#include "DisplayRange.h"
#include "SignalView.h"

namespace dgaws::SignalSmoothing {

bool smooth(std::vector<float>& x, int width)
{
    const int n = static_cast<int>(x.size());
    if (width <= 1 || n == 0)
        return false;
    const int w = width > n ? n : width;
    const int half = w / 2;
    const std::vector<float> raw = x;
    // A sample a file stored as NaN or infinite counts as 0, or one bad sample would spoil
    // every later mean of the running sum.
    const auto v = [&raw](int i) {
        return static_cast<double>(SignalView::finite(raw[static_cast<size_t>(i)]));
    };
    double sum = 0.0;
    for (int i = 0; i < w; ++i)
        sum += v(i);
    for (int i = w; i < n; ++i) {
        x[static_cast<size_t>(i - half)] = static_cast<float>(sum / w);
        sum += v(i) - v(i - w);
    }
    for (int i = n - half; i < n; ++i)
        x[static_cast<size_t>(i)] = static_cast<float>(sum / w);
    return true;
}

bool smooth(ChromatogramData& data, int width)
{
    std::vector<float> samples = data.signal.values();
    if (!smooth(samples, width))
        return false;
    data.signal.assign(std::move(samples));
    data.scanExtrema(-2000000.0f, 2000000.0f);
    DisplayRange::fitted(data).applyTo(data.method);
    return true;
}

}  // namespace dgaws::SignalSmoothing
