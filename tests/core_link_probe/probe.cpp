// Links the core and nothing else, so that the check can see what the core
// drags into a program.
#include "core/ProgressSink.h"
#include "link/CCommPort.h"

int main() {
    quillon::LinkContext ctx;
    quillon::CCommPort port(ctx, 1, 9600);
    return quillon::ProgressBar::FilledWidth(50.0f, 200) == 100 && port.IsOpen() == 0 ? 0 : 1;
}
