"""Bad-input cases for the images stb_image opens: sky faces, height map,
font sheet and tutorial picture."""

import corrupt as c
from cases import BLANK, CHANGED, GOES_ON, START_SCREEN, Case, common_cases


# --- images opened by stb_image -------------------------------------------------

SKY_FACES = ["px.jpg", "nx.jpg", "py.jpg", "ny.jpg", "pz.jpg", "nz.jpg"]
HEIGHT_MAP = "assets/textures/Heightmaps/Heightmap3.png"
FONT_SHEET = "assets/textures/fonts/greek_outlined.tga"
TUTORIAL = "assets/tutorial/Veltra_TutorialSTART.png"


def sky_cases():
    cases = []
    for name in SKY_FACES:
        path = "assets/textures/Nightsky/" + name
        failed = [("stderr", "Cubemap failed to load at path: ../" + path)]
        # Sizes are judged against the size most faces share, so the small
        # face is the one named, first face or not.
        odd_one = ("8 x 8", name)
        for case_name, make in common_cases(path):
            # stb_image decodes a JPEG cut short as far as it goes.
            cases.append(Case(path, case_name, make, GOES_ON,
                              [] if case_name == "truncated to half" else failed))
        cases += [
            Case(path, "wrong format (DDS)", lambda d: c.dds_rgba8(), GOES_ON, failed),
            Case(path, "extent 65500 x 65500", lambda d: c.jpeg_with_frame_size(d, 65500, 65500),
                 GOES_ON, failed),
            Case(path, "width 0", lambda d: c.jpeg_with_frame_size(d, 0, 1024), GOES_ON, failed),
            Case(path, "valid but not square (64 x 32)", lambda d: c.jpeg_bytes(64, 32), GOES_ON,
                 [("stderr", "Cubemap face of 64 x 32 pixels does not fit the cube at path: ../" +
                   path)]),
            Case(path, "valid grey, another size (8 x 8)", lambda d: c.jpeg_bytes(8, 8, "L"),
                 GOES_ON, [("stderr", "Cubemap face of %s pixels does not fit the cube at "
                                      "path: ../assets/textures/Nightsky/%s" % odd_one)]),
        ]
    return cases


def height_map_cases():
    path = HEIGHT_MAP
    failed = [("stderr", "Failed to load height map: ../" + path + " (Error: …)")]
    cases = [Case(path, name, make, GOES_ON, failed) for name, make in common_cases(path)]
    cases += [
        Case(path, "wrong format (JPEG)", lambda d: c.jpeg_bytes(16, 16), GOES_ON,
             [("stdout", "Terrain loaded!")]),
        Case(path, "width 2147483647", lambda d: c.png_with_ihdr(d, width=0x7FFFFFFF), GOES_ON,
             failed),
        Case(path, "height 0", lambda d: c.png_with_ihdr(d, height=0), GOES_ON, failed),
        # Refused from the header: the mesh of such a map would not fit in memory.
        Case(path, "extent 32000 x 32000", lambda d: c.png_with_ihdr(d, 32000, 32000), GOES_ON,
             [("stderr", "Height map too large: ../" + path +
               " (32000 x 32000 pixels, at most 4097 x 4097)")]),
        Case(path, "1 x 1 pixel", lambda d: c.png_bytes(1, 1), GOES_ON,
             [("stderr", "Height map too small: ../" + path +
               " (1 x 1 pixels, at least 2 x 2 needed)")]),
        Case(path, "2 x 2 pixels", lambda d: c.png_bytes(2, 2), GOES_ON,
             [("stdout", "Terrain mesh created with 4 vertices and 2 triangles.")]),
    ]
    return cases


def _tga_cases(path, failed):
    cases = [Case(path, name, make, GOES_ON, failed, frame=BLANK)
             for name, make in common_cases(path)]
    cases += [
        Case(path, "wrong format (DDS)", lambda d: c.dds_rgba8(), GOES_ON, failed, frame=BLANK),
        Case(path, "extent 0 x 0", lambda d: c.tga_with_extent(d, 0, 0), GOES_ON, failed,
             frame=BLANK),
        Case(path, "extent 65535 x 65535", lambda d: c.tga_with_extent(d, 65535, 65535), GOES_ON,
             failed, frame=BLANK),
        Case(path, "image type 99", lambda d: c.tga_with_type(d, 99), GOES_ON, failed,
             frame=BLANK),
    ]
    return cases


def hud_image_cases():
    font_failed = [("stderr", "Failed to load HUD texture: ../" + FONT_SHEET)]
    cases = _tga_cases(FONT_SHEET, font_failed)
    for case in cases:
        if case.name == "truncated to half":
            case.messages, case.frame = [], START_SCREEN  # stb_image reads what is there
    tutorial_failed = [("stderr", "Failed to load tutorial Screen")]
    path = TUTORIAL
    cases += [Case(path, name, make, GOES_ON, tutorial_failed, frame=BLANK)
              for name, make in common_cases(path)]
    cases += [
        Case(path, "wrong format (DDS)", lambda d: c.dds_rgba8(), GOES_ON, tutorial_failed,
             frame=BLANK),
        Case(path, "width 2147483647", lambda d: c.png_with_ihdr(d, width=0x7FFFFFFF), GOES_ON,
             tutorial_failed, frame=BLANK),
        Case(path, "height 0", lambda d: c.png_with_ihdr(d, height=0), GOES_ON, tutorial_failed,
             frame=BLANK),
        Case(path, "1 x 1 pixel", lambda d: c.png_bytes(1, 1, "RGB"), GOES_ON, frame=CHANGED),
    ]
    return cases
