// The settings record: one program-wide object, defaults set before WinMain runs,
// edited by the settings dialogs, read by the worker, and read by the main dialog for
// its commands and its rebuilds.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int32_t FILTER_SHOW_HIDDEN = 1;
constexpr int32_t FILTER_SHOW_VISIBLE = 2;
constexpr int32_t FILTER_SHOW_BLANK_TITLES = 4;

struct SettingsRecord {
    int32_t GetPositionStep() const { return positionStep; }
    void SetPositionStep(int32_t value) { positionStep = value; }
    int32_t GetSizeStep() const { return sizeStep; }
    void SetSizeStep(int32_t value) { sizeStep = value; }
    int16_t GetAutoRefresh() const { return autoRefreshOn.load(std::memory_order_relaxed); }
    void SetAutoRefresh(int16_t value) { autoRefreshOn.store(value, std::memory_order_relaxed); }
    int32_t GetFilterFlags() const { return filterFlags; }
    void SetFilterFlags(int32_t value) { filterFlags = value; }
    int32_t GetRefreshInterval() const { return refreshIntervalMs.load(std::memory_order_relaxed); }
    void SetRefreshInterval(int32_t value) { refreshIntervalMs.store(value, std::memory_order_relaxed); }

    int32_t positionStep = 1;                    // pixels per U, D, L, R click
    int32_t sizeStep = 1;                        // pixels per Taller, Shorter, Wider, Narrower click
    // The worker reads these two while the dialog thread may write them: atomic, so
    // each is one race-free full-width load or store; no ordering is needed.
    std::atomic<int16_t> autoRefreshOn{0};       // 1: the worker requests periodic rebuilds
    int32_t filterFlags = FILTER_SHOW_HIDDEN | FILTER_SHOW_VISIBLE;
    std::atomic<int32_t> refreshIntervalMs{1000};  // pause after each periodic rebuild
};

// Constant-initialised, so every reader finds the defaults from the very start.
extern SettingsRecord UserSettings;
