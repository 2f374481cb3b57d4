"""Bad-input cases for the models, the sounds and the two settings files."""

import os
import re

import corrupt as c
from cases import CHANGED, EXIT_1, GOES_ON, Case, common_cases

MODELS = ["radiva_textured_mesh.glb", "smaller_goal_textured_mesh.glb"]


def listed_sounds():
    """The game's sound files, from the list the game itself plays."""
    header = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "world",
                          "GameSounds.h")
    with open(header, encoding="utf-8") as f:
        return re.findall(r'^\s*"([A-Za-z0-9_.-]+\.mp3)",', f.read(), re.MULTILINE)


SOUNDS = listed_sounds()
SETTINGS = {"assets/settings/camera_front.ini": "camera",
            "assets/settings/renderer_standard.ini": "renderer"}


def model_cases():
    cases = []
    for name in MODELS:
        path = "assets/models/" + name
        no_mesh = [("stderr", "Assimp error: …"),
                   ("stdout", "Model file yields no mesh: ../" + path)]
        loaded = [("stdout", "Loaded model: ../" + path + " with 1 mesh(es).")]
        for case_name, make in common_cases(path):
            cases.append(Case(path, case_name, make, EXIT_1, no_mesh, frame=None))
        table = [
            ("wrong format (PNG)", lambda d: c.png_bytes(8, 8), no_mesh),
            # The importer reads the chunks and never needs the total.
            ("file length 4294967295", lambda d: c.put_u32(d, 8, 0xFFFFFFFF), loaded),
            ("JSON chunk length 4294967280", lambda d: c.put_u32(d, 12, 0xFFFFFFF0), no_mesh),
            ("binary chunk length 4294967280", c.glb_with_binary_chunk_length(0xFFFFFFF0),
             no_mesh),
            ("container version 99", lambda d: c.put_u32(d, 4, 99), no_mesh),
            ("a scene without meshes", lambda d: c.triangle_glb(meshes=False), no_mesh),
            ("vertex count 2147483647", lambda d: c.triangle_glb(position_count=0x7FFFFFFF),
             no_mesh),
            ("vertex count -1", lambda d: c.triangle_glb(position_count=-1), no_mesh),
            ("index count 2147483647", lambda d: c.triangle_glb(index_count=0x7FFFFFFF), no_mesh),
            ("view length 4294967295", lambda d: c.triangle_glb(byte_length=0xFFFFFFFF), no_mesh),
            ("view offset 4294967295", lambda d: c.triangle_glb(byte_offset=0xFFFFFFFF), no_mesh),
            ("index past the last vertex", lambda d: c.triangle_glb(indices=(0, 1, 60000)),
             no_mesh),
            ("one valid triangle", lambda d: c.triangle_glb(), loaded),
        ]
        for case_name, make, messages in table:
            outcome = EXIT_1 if messages is no_mesh else GOES_ON
            cases.append(Case(path, case_name, make, outcome, messages,
                              frame=None if outcome == EXIT_1 else "start screen"))
    return cases


def sound_cases():
    """Run with an audio device (OpenAL Soft writing a WAV file), so that the
    files are opened at all; without one the game never reads them."""
    cases = []
    for name in SOUNDS:
        path = "assets/sounds/" + name
        shown = "../" + path
        undecodable = [("stderr", "Failed to decode sound file: " + shown)]
        for case_name, make in common_cases(path):
            if case_name == "missing":
                messages = [("stderr", "Sound file not found: " + shown)]
            elif case_name == "truncated to half":
                messages = []  # the decoder plays what is there
            else:
                messages = undecodable
            cases.append(Case(path, case_name, make, GOES_ON, messages, sound_device=True))
        table = [
            ("wrong format (PNG)", lambda d: c.png_bytes(8, 8), undecodable),
            ("WAV with 0 channels", lambda d: c.wav(channels=0), undecodable),
            ("WAV with 9 channels", lambda d: c.wav(channels=9), [
                ("stderr", "Sound file has 9 channels, only mono and stereo play: " + shown)]),
            ("WAV at 0 Hz", lambda d: c.wav(rate=0), undecodable),
            ("WAV at 1000 Hz", lambda d: c.wav(rate=1000), [
                ("stderr", "Sound file has an unusable sample rate of 1000 Hz: " + shown)]),
            ("WAV data size 4294967295", lambda d: c.wav(data_size=0xFFFFFFFF), []),
            ("ID3 tag claiming 268435455 bytes", lambda d: c.id3_with_size(d, 0x0FFFFFFF),
             undecodable),
            ("every frame with bit rate index 15", c.mp3_bad_frames, undecodable),
        ]
        for case_name, make, messages in table:
            cases.append(Case(path, case_name, make, GOES_ON, messages, sound_device=True))
    # The default machine has no audio device: nothing is opened at all.
    for name in SOUNDS[:1]:
        path = "assets/sounds/" + name
        cases.append(Case(path, "missing, and no audio device", lambda d: None, GOES_ON,
                          [("stderr", "Failed to create irrKlang sound engine!")]))
    return cases


def _camera_lines(*pairs):
    """The line each unusable camera value gives, with the default used."""
    defaults = {"fov": "60", "near": "0.1", "move_speed": "15", "rotation_speed": "10",
                "yaw": "0", "pitch": "0"}
    return [("stdout", "ERROR: Invalid camera setting '%s' = '%s'. Using the default value %s "
             "instead." % (key, value, defaults[key])) for key, value in pairs]


_SETTINGS_TEXT = {
    "camera": [
        ("fov 0 and near 0", "[camera]\nfov = 0\nnear = 0\n", None,
         _camera_lines(("fov", "0"), ("near", "0"))),
        ("infinite fov (1e999)", "[camera]\nfov = 1e999\nnear = 1e999\n", None,
         _camera_lines(("fov", "1e999"), ("near", "1e999"))),
        ("negative fov and near", "[camera]\nfov = -90\nnear = -1\n", None,
         _camera_lines(("fov", "-90"), ("near", "-1"))),
        ("every value nan", "[camera]\nfov = nan\nnear = nan\nmove_speed = nan\n"
                            "rotation_speed = nan\nyaw = nan\npitch = nan\n", None,
         _camera_lines(*[(key, "nan") for key in
                         ("fov", "near", "move_speed", "rotation_speed", "yaw", "pitch")])),
        ("non-numbers", "[camera]\nfov = wide\nnear = close\nyaw = left\n", None,
         _camera_lines(("fov", "wide"), ("near", "close"), ("yaw", "left"))),
        ("malformed lines", "[camera\nfov 75\n= 3\n[camera]\nnear\n", None, []),
        ("keys before any section", "fov = 10\nnear = 5\n[camera]\n", None, []),
        ("names in capitals", "[CAMERA]\nFOV = 75\nNEAR = 0.5\n", None, []),
        ("a 100 kB line", "[camera]\nfov = " + "9" * 100000 + "\n", None,
         _camera_lines(("fov", "9" * 32 + "..."))),
        ("a 100 kB section name", "[" + "c" * 100000 + "]\nfov = 5\n", None, []),
    ],
    "renderer": [
        ("wireframe in capitals (WIREFRAME = YES)", "[RENDERER]\nWIREFRAME = YES\n", CHANGED, []),
        ("wireframe = 1", "[renderer]\nwireframe = 1\n", CHANGED, []),
        ("not a boolean (depthtest = maybe)", "[renderer]\ndepthtest = maybe\n", None,
         [("stdout", "ERROR: Invalid renderer setting 'depthtest' = 'maybe'. Using the default "
                     "value true instead.")]),
        ("a frame cap of one frame in 1000 s (max_fps = 0.001)", "[renderer]\nmax_fps = 0.001\n",
         None, [("stdout", "ERROR: Invalid renderer setting 'max_fps' = '0.001'. Using the "
                           "default value 0 instead.")]),
        ("a glow at an eighth of the resolution (bloom_scale = 8)",
         "[renderer]\nbloom_scale = 8\n", None,
         [("stdout", "ERROR: Invalid renderer setting 'bloom_scale' = '8'. Using the "
                     "renderer's own choice instead.")]),
        ("keys before any section", "wireframe = true\n[renderer]\n", None, []),
        ("malformed lines", "[renderer\nwireframe true\n: on\n[renderer]\nwireframe\n", None,
         []),
        ("a 100 kB value", "[renderer]\nwireframe = " + "y" * 100000 + "\n", None,
         [("stdout", "ERROR: Invalid renderer setting 'wireframe' = '" + "y" * 32 + "...'. "
                     "Using the default value false instead.")]),
    ],
}


def settings_cases():
    cases = []
    for path, section in SETTINGS.items():
        missing = [("stdout", "ERROR: Failed to load '" + path +
                    "'. Using default values instead.")]
        for case_name, make in common_cases(path):
            broken = case_name in ("missing", "directory in its place")
            cases.append(Case(path, case_name, make, GOES_ON, missing if broken else []))
        cases.append(Case(path, "wrong format (PNG)", lambda d: c.png_bytes(8, 8), GOES_ON))
        for case_name, text, frame, lines in _SETTINGS_TEXT[section]:
            cases.append(Case(path, case_name, lambda d, t=text: t.encode(), GOES_ON, lines,
                              frame=frame or "start screen"))
    return cases
