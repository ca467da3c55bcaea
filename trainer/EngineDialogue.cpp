#include "EngineDialogue.h"

#include "AutoDialogue.h"
#include "UciDialogue.h"
#include "XboardDialogue.h"

std::unique_ptr<EngineDialogue> MakeEngineDialogue(kx::EngineProtocol protocol,
                                                   EngineDialogue::Send send,
                                                   std::chrono::milliseconds probeWait,
                                                   std::chrono::milliseconds answerWait)
{
    switch (protocol) {
    case kx::EngineProtocol::Xboard:
        return std::make_unique<XboardDialogue>(std::move(send), answerWait);
    case kx::EngineProtocol::Uci:
        return std::make_unique<UciDialogue>(std::move(send), answerWait);
    case kx::EngineProtocol::Auto:
        break;
    }
    return std::make_unique<AutoDialogue>(std::move(send), probeWait, answerWait);
}
