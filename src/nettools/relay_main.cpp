// ampwarden-netrelay: a bad network between two copies of the game on this machine.
//   ampwarden-netrelay --listen 24700 --to 24680 --delay 50 --jitter 10 --loss 5 --dup 1
//                      --reorder 2 --seed 1 --seconds 60 [--stall-ms 5000 --stall-at 10 --stall-every 30]
// The joiner joins 127.0.0.1:24700; the host listens on 24680. Percentages are of datagrams.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/WholeNumber.h"
#include "nettools/UdpRelay.h"

int main(int argc, char** argv)
{
    CRelaySettings settings;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        long long value = 0;
        const std::string name = argv[i];
        if (!ParseWholeNumber(argv[i + 1], 0, name == "--seed" ? 4294967295ll : 65535, value))
        {
            std::fprintf(stderr, "ampwarden-netrelay: %s needs a whole number\n", argv[i]);
            return 2;
        }
        if (name == "--listen")
            settings.listenPort = static_cast<uint16_t>(value);
        else if (name == "--to")
            settings.targetPort = static_cast<uint16_t>(value);
        else if (name == "--delay")
            settings.delayMs = static_cast<int>(value);
        else if (name == "--jitter")
            settings.jitterMs = static_cast<int>(value);
        else if (name == "--loss")
            settings.loss = value / 100.0;
        else if (name == "--dup")
            settings.duplicate = value / 100.0;
        else if (name == "--reorder")
            settings.reorder = value / 100.0;
        else if (name == "--seed")
            settings.seed = static_cast<uint32_t>(value);
        else if (name == "--seconds")
            settings.seconds = static_cast<int>(value);
        else if (name == "--new-client")
            settings.newClient = value != 0;
        else if (name == "--stall-ms")
            settings.stallMs = static_cast<int>(value);
        else if (name == "--stall-at")
            settings.stallAtMs = static_cast<int>(value) * 1000;
        else if (name == "--stall-every")
            settings.stallEveryMs = static_cast<int>(value) * 1000;
        else
        {
            std::fprintf(stderr, "ampwarden-netrelay: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (settings.listenPort == 0 || settings.targetPort == 0)
    {
        std::fprintf(
            stderr,
            "usage: ampwarden-netrelay --listen PORT --to PORT [--delay MS] [--jitter MS] "
            "[--loss %%] [--dup %%] [--reorder %%] [--seed N] [--seconds S] [--stall-ms MS --stall-at S "
            "--stall-every S] [--new-client 1]\n");
        return 2;
    }
    CRelayCounts counts;
    const char* why = "";
    if (!RunUdpRelay(settings, counts, &why))
    {
        std::fprintf(stderr, "ampwarden-netrelay: %s\n", why);
        return 1;
    }
    std::printf("relay: passed %ld dropped %ld duplicated %ld reordered %ld stalled %ld\n", counts.passed,
                counts.dropped, counts.duplicated, counts.reordered, counts.stalled);
    return 0;
}
