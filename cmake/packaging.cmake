# Start-up options of eqcircle.

# --help, --version and the display check run before the application object exists.
target_sources(eqcircle PRIVATE ${PROJECT_SOURCE_DIR}/src/app/startup_options.cpp)
target_compile_definitions(eqcircle PRIVATE EQCIRCLE_VERSION="${PROJECT_VERSION}")
