#include "app/requested_inputs.h"

#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"

namespace kd::sim {

QString startRequestedInputs(InputsThread &inputs, const SimOptions &options) {
    InputsSettings settings;
    settings.comPort = options.comPort;
    settings.usbSocket = options.usbSocket;
    // The display's line is set before its terminal opens, which takes it as its own.
    if (options.displayLine)
        inputs.service().setDisplayLine(*options.displayLine);
    inputs.service().setOptions(options.setOptions);
    const QString problems = inputs.start(settings);
    if (inputs.anotherDisplayRunning())
        return problems;
    QString refusal;
    inputs.run([&](Inputs &opened) {
        if (!options.tcpHost.isEmpty()) {
            refusal = opened.listenTcp(options.tcpHost, options.tcpPort);
            if (!refusal.isEmpty())
                refusal = QStringLiteral("--tcp: ") + refusal;
        }
        if (refusal.isEmpty() && !options.rfc2217Host.isEmpty()) {
            refusal = opened.listenRfc2217(options.rfc2217Host, options.rfc2217Port);
            if (!refusal.isEmpty())
                refusal = QStringLiteral("--rfc2217: ") + refusal;
        }
        if (refusal.isEmpty() && !options.serialLink.isEmpty())
            refusal = opened.linkTerminalTo(options.serialLink);
        if (refusal.isEmpty() && !options.recordFile.isEmpty())
            refusal = opened.recordTo(options.recordFile);
        if (refusal.isEmpty() && !options.replayFile.isEmpty())
            refusal = opened.replay(options.replayFile);
    });
    return refusal;
}

} // namespace kd::sim
