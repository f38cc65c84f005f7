// The effect calls: effect handles map to (channel, index in the channel's chain).
#include "audio/bass_fx.h"

#include <mutex>
#include <optional>
#include <unordered_map>

#include "audio/bass_internal.h"
#include "audio/engine/dsp/effect_chain.h"

namespace {

using vokrin::engine::CompressorSettings;
using vokrin::engine::EchoSettings;
using vokrin::engine::EffectChain;
using vokrin::engine::EffectKind;
using vokrin::engine::ParamEqSettings;
using vokrin::engine::ReverbSettings;

struct EffectRef
{
    DWORD channel;
    int index;
};

// Effect handles are never reused, like channel handles, so a handle kept after its
// channel was freed can never reach another channel's effect.
class EffectTable
{
public:
    HFX insert(EffectRef ref)
    {
        std::lock_guard lock(m_lock);
        const HFX handle = m_next++;
        m_refs.emplace(handle, ref);
        return handle;
    }
    std::optional<EffectRef> find(HFX handle) const
    {
        std::lock_guard lock(m_lock);
        const auto it = m_refs.find(handle);
        if (it == m_refs.end())
            return std::nullopt;
        return it->second;
    }
    void erase(HFX handle)
    {
        std::lock_guard lock(m_lock);
        m_refs.erase(handle);
    }

private:
    mutable std::mutex m_lock;
    std::unordered_map<HFX, EffectRef> m_refs;
    HFX m_next = 0x40000001u; // apart from channel handles, which makes mix-ups visible
};

EffectTable &effects()
{
    static EffectTable table;
    return table;
}

std::optional<EffectKind> kindOf(DWORD type)
{
    switch (type) {
    case BASS_FX_COMPRESSOR:
        return EffectKind::Compressor;
    case BASS_FX_ECHO:
        return EffectKind::Echo;
    case BASS_FX_PARAMEQ:
        return EffectKind::ParamEq;
    case BASS_FX_REVERB:
        return EffectKind::Reverb;
    default:
        return std::nullopt;
    }
}

enum class Outcome { Done, NoChannel, Refused };

// Runs fn on the chain that holds the effect. A freed channel's effect handle is
// dropped from the table.
template <typename Fn> Outcome onEffect(HFX handle, Fn fn)
{
    const std::optional<EffectRef> ref = effects().find(handle);
    if (!ref)
        return Outcome::NoChannel;
    bool ok = false;
    const bool live = vokrin::bass_internal::withEffectChain(
        ref->channel, [&](EffectChain &chain) { ok = fn(chain, ref->index); });
    if (!live) {
        effects().erase(handle);
        return Outcome::NoChannel;
    }
    return ok ? Outcome::Done : Outcome::Refused;
}

BOOL finish(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        vokrin::bass_internal::setError(BASS_OK);
        return TRUE;
    case Outcome::NoChannel:
        vokrin::bass_internal::setError(BASS_ERROR_HANDLE);
        return FALSE;
    case Outcome::Refused:
        break;
    }
    vokrin::bass_internal::setError(BASS_ERROR_ILLPARAM);
    return FALSE;
}

} // namespace

extern "C" {

HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority)
{
    const std::optional<EffectKind> kind = kindOf(type);
    int index = -1;
    const bool live = vokrin::bass_internal::withEffectChain(handle, [&](EffectChain &chain) {
        if (kind)
            index = chain.add(*kind, priority);
    });
    if (!live) {
        vokrin::bass_internal::setError(BASS_ERROR_HANDLE);
        return 0;
    }
    if (!kind) {
        vokrin::bass_internal::setError(BASS_ERROR_ILLTYPE);
        return 0;
    }
    if (index < 0) {
        vokrin::bass_internal::setError(BASS_ERROR_NOFX);
        return 0;
    }
    vokrin::bass_internal::setError(BASS_OK);
    return effects().insert({handle, index});
}

BOOL BASS_FXSetParameters(HFX handle, const void *params)
{
    if (!params) {
        const bool known = effects().find(handle).has_value();
        vokrin::bass_internal::setError(known ? BASS_ERROR_ILLPARAM : BASS_ERROR_HANDLE);
        return FALSE;
    }
    return finish(onEffect(handle, [params](EffectChain &chain, int index) {
        switch (static_cast<EffectKind>(chain.kindOf(index))) {
        case EffectKind::ParamEq: {
            const auto *r = static_cast<const BASS_FXPARAMEQ *>(params);
            return chain.set(index, ParamEqSettings{r->fCenter, r->fBandwidth, r->fGain});
        }
        case EffectKind::Compressor: {
            const auto *r = static_cast<const BASS_FXCOMPRESSOR *>(params);
            return chain.set(index, CompressorSettings{r->fGain, r->fAttack, r->fRelease,
                                                       r->fThreshold, r->fRatio, r->fPredelay});
        }
        case EffectKind::Echo: {
            const auto *r = static_cast<const BASS_FXECHO *>(params);
            return chain.set(index, EchoSettings{r->fWetDryMix, r->fFeedback, r->fLeftDelay,
                                                 r->fRightDelay, r->lPanDelay != 0});
        }
        case EffectKind::Reverb: {
            const auto *r = static_cast<const BASS_FXREVERB *>(params);
            return chain.set(index, ReverbSettings{r->fInGain, r->fReverbMix, r->fReverbTime,
                                                   r->fHighFreqRTRatio});
        }
        }
        return false;
    }));
}

BOOL BASS_FXGetParameters(HFX handle, void *params)
{
    if (!params) {
        const bool known = effects().find(handle).has_value();
        vokrin::bass_internal::setError(known ? BASS_ERROR_ILLPARAM : BASS_ERROR_HANDLE);
        return FALSE;
    }
    return finish(onEffect(handle, [params](EffectChain &chain, int index) {
        switch (static_cast<EffectKind>(chain.kindOf(index))) {
        case EffectKind::ParamEq: {
            ParamEqSettings s;
            if (!chain.get(index, s))
                return false;
            *static_cast<BASS_FXPARAMEQ *>(params) = {s.center, s.bandwidth, s.gain};
            return true;
        }
        case EffectKind::Compressor: {
            CompressorSettings s;
            if (!chain.get(index, s))
                return false;
            *static_cast<BASS_FXCOMPRESSOR *>(params) = {s.gain,      s.attack, s.release,
                                                         s.threshold, s.ratio,  s.predelay};
            return true;
        }
        case EffectKind::Echo: {
            EchoSettings s;
            if (!chain.get(index, s))
                return false;
            *static_cast<BASS_FXECHO *>(params) = {s.wetDryMix, s.feedback, s.leftDelay,
                                                   s.rightDelay, s.panDelay ? -1 : 0};
            return true;
        }
        case EffectKind::Reverb: {
            ReverbSettings s;
            if (!chain.get(index, s))
                return false;
            *static_cast<BASS_FXREVERB *>(params) = {s.inGain, s.reverbMix, s.reverbTime,
                                                     s.highFreqRTRatio};
            return true;
        }
        }
        return false;
    }));
}

} // extern "C"
