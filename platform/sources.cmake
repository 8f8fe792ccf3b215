# Stand-in layers for services this platform lacks.
list(APPEND LINTRADO_CORE_SOURCES
    platform/ConfigStore.cpp
    platform/CharNames.cpp
    platform/SystemProxy.cpp
)

# Word automation and the Office settings lock: our own interfaces; no provider on this platform.
list(APPEND LINTRADO_CORE_SOURCES
    platform/WordAutomation.cpp
    platform/OfficeSettingsLock.cpp
)
