// The tape (platform/tape/): the chosen backends wrapped to write every
// answer to the recording, or stand-ins that give the recording's answers. Playing back,
// the clock keeps pace with `paceBy` (null: as fast as it can), and
// `viewer` is the window system the viewer may close (null: none).
#pragma once
#include "platform/clock_service.h"
#include "platform/input_service.h"
#include "platform/sound_service.h"
#include "platform/video_service.h"

const ClockService& recordingClock(const ClockService& base);
const InputService& recordingInput(const InputService& base);
const VideoService& recordingVideo(const VideoService& base);
const SoundService& recordingSound(const SoundService& base);
const ClockService& playbackClock(const ClockService* paceBy);
const InputService& playbackInput(const InputService* viewer);
const VideoService& playbackVideo(const VideoService& base);
const SoundService& playbackSound(const SoundService& base);
