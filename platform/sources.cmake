# Stand-in layers for services this platform lacks.
list(APPEND LINTRADO_CORE_SOURCES
    platform/ConfigStore.cpp
    platform/CharNames.cpp
    platform/SystemProxy.cpp
)

