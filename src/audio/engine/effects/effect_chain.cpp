// Temporary pass-through chain so the engine can link while the DSP is written:
// it keeps parameters but does not process audio yet.
#include "effect_chain.h"

#include <vector>

namespace vokrin::engine {

struct EffectChain::Impl {
    int rate;
    int channels;
    struct Slot {
        EffectKind kind;
        ParamEqSettings eq;
        CompressorSettings comp;
        EchoSettings echo;
        ReverbSettings reverb;
    };
    std::vector<Slot> slots;
};

EffectChain::EffectChain(int sampleRate, int channels) : m_impl(new Impl{sampleRate, channels, {}})
{
    m_impl->slots.reserve(kMaxEffects);
}
EffectChain::~EffectChain() = default;
int EffectChain::sampleRate() const { return m_impl->rate; }
int EffectChain::channels() const { return m_impl->channels; }

int EffectChain::add(EffectKind kind, int)
{
    if (static_cast<int>(m_impl->slots.size()) >= kMaxEffects)
        return -1;
    m_impl->slots.push_back({kind, {}, {}, {}, {}});
    return static_cast<int>(m_impl->slots.size()) - 1;
}

int EffectChain::kindOf(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_impl->slots.size()))
        return -1;
    return static_cast<int>(m_impl->slots[index].kind);
}

#define VOKRIN_PASSTHROUGH_ACCESS(Type, member, Kind)                                              \
    bool EffectChain::set(int index, const Type &s)                                                \
    {                                                                                              \
        if (kindOf(index) != static_cast<int>(EffectKind::Kind))                                   \
            return false;                                                                          \
        m_impl->slots[index].member = s;                                                           \
        return true;                                                                               \
    }                                                                                              \
    bool EffectChain::get(int index, Type &s) const                                                \
    {                                                                                              \
        if (kindOf(index) != static_cast<int>(EffectKind::Kind))                                   \
            return false;                                                                          \
        s = m_impl->slots[index].member;                                                           \
        return true;                                                                               \
    }
VOKRIN_PASSTHROUGH_ACCESS(ParamEqSettings, eq, ParamEq)
VOKRIN_PASSTHROUGH_ACCESS(CompressorSettings, comp, Compressor)
VOKRIN_PASSTHROUGH_ACCESS(EchoSettings, echo, Echo)
VOKRIN_PASSTHROUGH_ACCESS(ReverbSettings, reverb, Reverb)

void EffectChain::process(float *, int) noexcept {}

} // namespace vokrin::engine
