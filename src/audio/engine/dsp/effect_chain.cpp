#include "audio/engine/dsp/effect_chain.h"

#include <array>
#include <atomic>
#include <variant>

#include "audio/engine/dsp/compressor.h"
#include "audio/engine/dsp/denormals.h"
#include "audio/engine/dsp/echo.h"
#include "audio/engine/dsp/param_eq.h"
#include "audio/engine/dsp/reverb.h"
#include "audio/engine/dsp/settings_check.h"

namespace vokrin::engine {

using namespace fx;

namespace {

// What the control side knows of one effect: its kind, priority, the parameters in
// force (what get() returns) and the effect object that the audio thread runs.
struct Slot
{
    EffectKind kind = EffectKind::ParamEq;
    int priority = 0;
    std::variant<ParamEqSettings, CompressorSettings, EchoSettings, ReverbSettings> settings;
    std::unique_ptr<Effect> effect;
};

template <typename S> struct KindOf;
template <> struct KindOf<ParamEqSettings>
{
    static constexpr EffectKind kind = EffectKind::ParamEq;
    using Type = ParamEqEffect;
};
template <> struct KindOf<CompressorSettings>
{
    static constexpr EffectKind kind = EffectKind::Compressor;
    using Type = CompressorEffect;
};
template <> struct KindOf<EchoSettings>
{
    static constexpr EffectKind kind = EffectKind::Echo;
    using Type = EchoEffect;
};
template <> struct KindOf<ReverbSettings>
{
    static constexpr EffectKind kind = EffectKind::Reverb;
    using Type = ReverbEffect;
};

} // namespace

struct EffectChain::Impl
{
    int rate;
    int channels;

    // Control side. Slots are only ever appended; an effect lives as long as the chain.
    std::array<Slot, kMaxEffects> slots;
    int count = 0;

    // Shared: slot i's effect pointer and priority are written before `published` is
    // raised past i (release), so the audio thread sees them complete.
    std::array<Effect *, kMaxEffects> effects{};
    std::array<int, kMaxEffects> priorities{};
    std::atomic<int> published{0};

    // Audio side: run order, rebuilt when more effects are published.
    std::array<Effect *, kMaxEffects> order{};
    int orderCount = 0;

    template <typename S> bool set(int index, const S &s)
    {
        if (index < 0 || index >= count || slots[index].kind != KindOf<S>::kind || !isAcceptable(s))
            return false;
        slots[index].settings = s;
        static_cast<typename KindOf<S>::Type *>(slots[index].effect.get())->setSettings(s);
        return true;
    }

    template <typename S> bool get(int index, S &s) const
    {
        if (index < 0 || index >= count || slots[index].kind != KindOf<S>::kind)
            return false;
        s = std::get<S>(slots[index].settings);
        return true;
    }

    void rebuildOrder(int n) noexcept
    {
        // Higher priority first; equal priorities keep the order they were added in
        // (insertion sort is stable and needs no memory).
        std::array<int, kMaxEffects> idx;
        for (int i = 0; i < n; ++i) {
            int j = i;
            while (j > 0 && priorities[idx[j - 1]] < priorities[i]) {
                idx[j] = idx[j - 1];
                --j;
            }
            idx[j] = i;
        }
        for (int i = 0; i < n; ++i)
            order[i] = effects[idx[i]];
        orderCount = n;
    }
};

EffectChain::EffectChain(int sampleRate, int channels) : m_impl(std::make_unique<Impl>())
{
    m_impl->rate = sampleRate;
    m_impl->channels = channels;
}

EffectChain::~EffectChain() = default;
int EffectChain::sampleRate() const
{
    return m_impl->rate;
}
int EffectChain::channels() const
{
    return m_impl->channels;
}

int EffectChain::add(EffectKind kind, int priority)
{
    Impl &d = *m_impl;
    if (d.count >= kMaxEffects)
        return -1;
    Slot &slot = d.slots[d.count];
    slot.kind = kind;
    slot.priority = priority;
    switch (kind) {
    case EffectKind::ParamEq:
        slot.settings = ParamEqSettings{};
        slot.effect = std::make_unique<ParamEqEffect>(d.rate, d.channels);
        break;
    case EffectKind::Compressor:
        slot.settings = CompressorSettings{};
        slot.effect = std::make_unique<CompressorEffect>(d.rate, d.channels);
        break;
    case EffectKind::Echo:
        slot.settings = EchoSettings{};
        slot.effect = std::make_unique<EchoEffect>(d.rate, d.channels);
        break;
    case EffectKind::Reverb:
        slot.settings = ReverbSettings{};
        slot.effect = std::make_unique<ReverbEffect>(d.rate, d.channels);
        break;
    default:
        return -1;
    }
    d.effects[d.count] = slot.effect.get();
    d.priorities[d.count] = priority;
    ++d.count;
    d.published.store(d.count, std::memory_order_release);
    return d.count - 1;
}

int EffectChain::kindOf(int index) const
{
    if (index < 0 || index >= m_impl->count)
        return -1;
    return static_cast<int>(m_impl->slots[index].kind);
}

bool EffectChain::set(int index, const ParamEqSettings &s)
{
    return m_impl->set(index, s);
}
bool EffectChain::set(int index, const CompressorSettings &s)
{
    return m_impl->set(index, s);
}
bool EffectChain::set(int index, const EchoSettings &s)
{
    return m_impl->set(index, s);
}
bool EffectChain::set(int index, const ReverbSettings &s)
{
    return m_impl->set(index, s);
}
bool EffectChain::get(int index, ParamEqSettings &s) const
{
    return m_impl->get(index, s);
}
bool EffectChain::get(int index, CompressorSettings &s) const
{
    return m_impl->get(index, s);
}
bool EffectChain::get(int index, EchoSettings &s) const
{
    return m_impl->get(index, s);
}
bool EffectChain::get(int index, ReverbSettings &s) const
{
    return m_impl->get(index, s);
}

void EffectChain::process(float *interleaved, int frames) noexcept
{
    Impl &d = *m_impl;
    const int n = d.published.load(std::memory_order_acquire);
    if (n != d.orderCount)
        d.rebuildOrder(n);
    if (n == 0 || frames <= 0)
        return;
    DenormalGuard flushSubnormals;
    for (int i = 0; i < d.orderCount; ++i)
        d.order[i]->process(interleaved, frames);
}

} // namespace vokrin::engine
