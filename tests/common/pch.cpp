// Only carries the precompiled header the test binaries share.
