# The program's version, read by the program's build and by the picture generators (the splash
# picture shows it).
set(MORVANTIS_PROJECT_VERSION 2.0)
