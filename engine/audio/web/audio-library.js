// SPDX-License-Identifier: MIT
// The page's audio for the engine's sounds and music (PageVoice.cpp): the browser decodes each file
// itself, and plays, pauses where it was, resumes, stops and loops. A page opened without a gesture may
// not make sound: its audio starts suspended and is let go at the first key or click, with music that
// was started meanwhile beginning then.
mergeInto(LibraryManager.library, {
    $VeltraneAudio__deps: ['$FS'],
    $VeltraneAudio__postset: 'Module["veltraneAudioState"] = VeltraneAudio.describe;',
    $VeltraneAudio: {
        STOPPED: 0,
        PAUSED: 1,
        PLAYING: 2,
        context: null,
        voices: [],

        audioContext: function() {
            var a = VeltraneAudio;
            if (a.context) {
                return a.context;
            }
            var Context = window.AudioContext || window.webkitAudioContext;
            a.context = new Context();
            // Music started while the page was silent begins now; sounds of that time are gone.
            console.log('Veltrane: the page\'s audio is ' + a.context.state +
                        (a.context.state === 'running' ? '.' : ' until a key is pressed.'));
            a.context.addEventListener('statechange', function() {
                console.log('Veltrane: the page\'s audio is ' + a.context.state + '.');
                if (a.context.state === 'running') {
                    a.voices.forEach(function(voice) {
                        if (voice && voice.pending !== null && voice.status === a.PLAYING) {
                            a.start(voice, voice.pending);
                        }
                    });
                }
            });
            var resume = function() {
                if (a.context.state !== 'running') {
                    a.context.resume();
                }
            };
            ['keydown', 'mousedown', 'pointerdown', 'touchstart'].forEach(function(type) {
                window.addEventListener(type, resume, true);
            });
            return a.context;
        },

        position: function(voice) {
            if (voice.status === VeltraneAudio.PAUSED) {
                return voice.pausedAt;
            }
            if (voice.status !== VeltraneAudio.PLAYING) {
                return 0;
            }
            if (!voice.source) {
                return voice.pending || 0;  // not heard yet
            }
            var t = voice.startOffset + VeltraneAudio.context.currentTime - voice.startedAt;
            var length = voice.buffer.duration;
            return voice.loop ? t % length : Math.min(t, length);
        },

        release: function(voice) {
            if (voice.source) {
                voice.source.onended = null;
                voice.source.stop();
                voice.source.disconnect();
                voice.source = null;
            }
        },

        start: function(voice, offset) {
            var a = VeltraneAudio;
            a.release(voice);
            if (a.context.state !== 'running' && !voice.music) {
                voice.status = a.STOPPED;  // a sound is heard now or never
                return;
            }
            voice.status = a.PLAYING;
            if (!voice.buffer || a.context.state !== 'running') {
                voice.pending = offset;  // begins once decoded and heard
                return;
            }
            voice.pending = null;
            var source = a.context.createBufferSource();
            source.buffer = voice.buffer;
            source.loop = voice.loop;
            source.connect(a.context.destination);
            source.onended = function() {
                if (voice.source === source) {
                    voice.source = null;
                    voice.status = a.STOPPED;
                }
            };
            source.start(0, offset);
            voice.source = source;
            voice.startedAt = a.context.currentTime;
            voice.startOffset = offset;
        },

        describe: function() {
            var a = VeltraneAudio;
            return {
                state: a.context ? a.context.state : 'none',
                voices: a.voices.map(function(voice) {
                    return voice && {file: voice.file, music: voice.music, status: voice.status,
                                     decoded: !!voice.buffer, failed: voice.failed,
                                     position: a.position(voice)};
                }),
            };
        },
    },

    vl_audio_available__sig: 'i',
    vl_audio_available: function() {
        return (window.AudioContext || window.webkitAudioContext) ? 1 : 0;
    },

    vl_audio_load__deps: ['$VeltraneAudio'],
    vl_audio_load__sig: 'iii',
    vl_audio_load: function(path, music) {
        var a = VeltraneAudio;
        var file = UTF8ToString(path);
        var voice = {file: file, music: !!music, buffer: null, failed: false, source: null, loop: false,
                     status: a.STOPPED, pausedAt: 0, startedAt: 0, startOffset: 0, pending: null};
        a.voices.push(voice);
        var bytes = FS.readFile(file);
        a.audioContext().decodeAudioData(bytes.slice().buffer).then(function(buffer) {
            voice.buffer = buffer;
            if (voice.pending !== null && voice.status === a.PLAYING && a.context.state === 'running') {
                a.start(voice, voice.pending);
            }
        }, function(error) {
            voice.failed = true;
            voice.status = a.STOPPED;
            console.error('Veltrane: Error! The browser cannot decode the sound file ' + file + ': ' + error);
        });
        return a.voices.length - 1;
    },

    vl_audio_free__deps: ['$VeltraneAudio'],
    vl_audio_free__sig: 'vi',
    vl_audio_free: function(id) {
        var voice = VeltraneAudio.voices[id];
        if (voice) {
            VeltraneAudio.release(voice);
            VeltraneAudio.voices[id] = null;
        }
    },

    vl_audio_play__deps: ['$VeltraneAudio'],
    vl_audio_play__sig: 'vi',
    vl_audio_play: function(id) {
        var voice = VeltraneAudio.voices[id];
        if (voice && !voice.failed) {
            VeltraneAudio.start(voice, voice.status === VeltraneAudio.PAUSED ? voice.pausedAt : 0);
        }
    },

    vl_audio_pause__deps: ['$VeltraneAudio'],
    vl_audio_pause__sig: 'vi',
    vl_audio_pause: function(id) {
        var a = VeltraneAudio;
        var voice = a.voices[id];
        if (voice && voice.status === a.PLAYING) {
            voice.pausedAt = a.position(voice);
            a.release(voice);
            voice.pending = null;
            voice.status = a.PAUSED;
        }
    },

    vl_audio_stop__deps: ['$VeltraneAudio'],
    vl_audio_stop__sig: 'vi',
    vl_audio_stop: function(id) {
        var voice = VeltraneAudio.voices[id];
        if (voice) {
            VeltraneAudio.release(voice);
            voice.pending = null;
            voice.pausedAt = 0;
            voice.status = VeltraneAudio.STOPPED;
        }
    },

    vl_audio_loop__deps: ['$VeltraneAudio'],
    vl_audio_loop__sig: 'vii',
    vl_audio_loop: function(id, loop) {
        var voice = VeltraneAudio.voices[id];
        if (voice) {
            voice.loop = !!loop;
            if (voice.source) {
                voice.source.loop = voice.loop;
            }
        }
    },

    vl_audio_status__deps: ['$VeltraneAudio'],
    vl_audio_status__sig: 'ii',
    vl_audio_status: function(id) {
        var voice = VeltraneAudio.voices[id];
        return voice ? voice.status : 0;
    },

    vl_audio_offset__deps: ['$VeltraneAudio'],
    vl_audio_offset__sig: 'di',
    vl_audio_offset: function(id) {
        var voice = VeltraneAudio.voices[id];
        return voice ? VeltraneAudio.position(voice) : 0;
    },
});
