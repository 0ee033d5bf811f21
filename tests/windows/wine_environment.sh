# Wine as every Windows test runs it: 64-bit, quiet, without the prompts to
# install Mono or Gecko, and without a sound driver (a test machine has no
# sound card; the game plays on silently, as it does on Linux).
export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv="
