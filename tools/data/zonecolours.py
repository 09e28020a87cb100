"""The program's zone colour table: (red, green, blue) -> standard offset in hours.

The program reads an offset from the time-zone image by walking this table in
order and taking the first row whose colour equals the pixel; the image painted
here uses nothing but these colours.
"""

TABLE = [
    ((41, 25, 148), 0),  # the ocean colour
    ((181, 181, 181), -12),
    ((255, 0, 255), -11),
    ((132, 132, 66), -10),
    ((181, 132, 140), -9),
    ((0, 255, 255), -8),
    ((255, 197, 255), -7),
    ((197, 206, 156), -6),
    ((0, 0, 255), -5),
    ((255, 0, 0), -4),
    ((230, 165, 255), -3),
    ((0, 197, 0), -2),
    ((181, 115, 16), -1),
    ((16, 206, 255), 0),
    ((132, 255, 49), 1),
    ((181, 206, 49), 2),
    ((255, 255, 132), 3),
    ((255, 132, 0), 4),
    ((197, 115, 239), 5),
    ((255, 123, 123), 6),
    ((0, 197, 197), 7),
    ((247, 189, 90), 8),
    ((0, 132, 132), 9),
    ((230, 0, 132), 10),
    ((230, 165, 140), 11),
    ((181, 181, 181), 12),  # never read back: row 2 has the same colour
    ((255, 255, 255), 13),
    ((189, 148, 33), 12.75),
    ((115, 173, 123), -9.5),
    ((156, 132, 173), -3.5),
    ((206, 239, 239), 3.5),
    ((25, 173, 165), 4.5),
    ((214, 173, 156), 5.75),
    ((255, 197, 181), 5.5),
    ((197, 197, 197), 6.5),
    ((156, 239, 173), 9.5),
    ((33, 33, 33), 10.5),
    ((132, 74, 156), 11.5),
    # Offsets of today's zones that the original rows lack.
    ((140, 70, 20), 14),  # Line Islands (Kiritimati)
    ((96, 96, 192), 8.75),  # Eucla
    # +12 (New Zealand, Fiji, Kamchatka): the grey of its original row reads as -12.
    ((64, 160, 96), 12),
]

OCEAN = TABLE[0][0]


def offset_of(rgb):
    """What the program reads at a pixel of this colour."""
    for colour, hours in TABLE:
        if colour == tuple(rgb):
            return hours
    return 0


def colour_of(hours, at_sea=False):
    """The colour to paint for a standard offset. The sea zone of UTC keeps the
    ocean colour; land at UTC gets the land row."""
    if hours == 0:
        return OCEAN if at_sea else TABLE[13][0]
    # The first row that reads back as this offset.
    for colour, row_hours in TABLE:
        if row_hours == hours and offset_of(colour) == hours:
            return colour
    for colour, row_hours in TABLE:
        if row_hours == hours:
            return colour
    raise SystemExit(f"data: no colour for the offset {hours:+g} h")
