// quillon: hands the adapter over from the system's wireless zero configuration to the utility.
// No window, no arguments, no output; the exit code is 0 whatever happened.

#include "vessra/zero_config/service_steps.h"
#include "zero_config_flag.h"

int main() {
    namespace zero_config = vessra::zero_config;
    try {
        // The results are deliberately not looked at: each step runs whatever the one before achieved.
        zero_config::stopService();
        zero_config::startService();
        zero_config::stopService();
        quillon::clearZeroConfigFlag();
        zero_config::startService();
    } catch (...) {
        // Nothing is reported: the installation goes on either way.
    }
    return 0;
}
