"""tools/bench-presentation's figures, from what its probe saw and heard in each run.

  presentation_figures.py WORK STARTS BEEPS RATE...

WORK/runs holds, for each run, the probe's report (NAME.probe), the recording of the sink's
monitor at 48 kHz (NAME.raw); WORK/clips the clips and FFmpeg's own decoding of them (.pcm, at
8 kHz). Runs are named PLAYER-SETTING-CLIP-START: PLAYER quillo, mpv, mpv-mkv, mpv-mp4 or
minimal (the least wave-out program); SETTING wine (Wine's own sound settings) or 100
(PULSE_LATENCY_MSEC=100), mpv's always mpv.
"""
import os
import statistics
import struct
import sys

RECORDED_HZ = 48000


def samples(path):
    raw = open(path, 'rb').read()
    return struct.unpack('<%dh' % (len(raw) // 2), raw[:len(raw) // 2 * 2])


def probe(path):
    values, changes = {}, []
    for line in open(path):
        key, _, value = line.strip().partition('=')
        if key == 'change':
            at, white = value.split(',')
            changes.append((int(at) / 1000.0, white == '1'))
        elif key:
            values[key] = value
    return values, changes


def onsets(sound, rate, origin_ms):
    """Each beep's first sample above a quarter of the loudest, after 200 ms below it."""
    threshold = max(map(abs, sound), default=0) / 4
    found, last = [], None
    for i, s in enumerate(sound):
        if threshold > 0 and abs(s) > threshold:
            if last is None or i - last > rate // 5:
                found.append(origin_ms + i * 1000.0 / rate)
            last = i
    return found


def sound_minus_picture(run):
    """Each beep's onset minus its white picture's, ms (positive: the sound later)."""
    values, changes = probe(run + '.probe')
    if int(values.get('sound_samples', 0)) == 0:
        sys.exit(f'bench-presentation: nothing was recorded from the sink in {run}')
    beeps = onsets(samples(run + '.raw'), RECORDED_HZ, int(values['sound_origin']) / 1000.0)
    found = []
    for at, white in changes:
        near = [b - at for b in beeps if abs(b - at) < 400] if white else []
        if near:
            found.append(min(near, key=abs))
    return found


def holds(run):
    """How long each picture stayed, ms, split into those that began within the first second
    after the first change (the first picture's own hold is not seen) and the rest."""
    _, changes = probe(run + '.probe')
    first, rest = [], []
    for a, b in zip(changes, changes[1:]):
        (first if a[0] - changes[0][0] < 1000 else rest).append(b[0] - a[0])
    return first, rest


def tones(sound, rate):
    """The lengths (ms) of the first 1000 Hz stretch, the 440 Hz one and the last 1000 Hz one,
    and the silences inside the sound, each sound block of 1 ms told by its zero crossings."""
    block = rate // 1000
    count = len(sound) // block
    loud = [max(abs(s) for s in sound[i * block:(i + 1) * block]) for i in range(count)]
    peak = max(loud, default=0)
    crossings = [0] * count
    for i in range(1, count * block):
        if (sound[i - 1] < 0) != (sound[i] < 0):
            crossings[i // block] += 1
    labels = []
    for i in range(count):
        if loud[i] < peak / 10:
            labels.append('silent')
            continue
        near = [crossings[j] for j in range(max(0, i - 2), min(count, i + 3)) if loud[j] >= peak / 10]
        labels.append('1000' if statistics.mean(near) > 1.44 else '440')
    heard = [i for i, label in enumerate(labels) if label != 'silent']
    if not heard:
        return None
    runs = []
    for label in labels[heard[0]:heard[-1] + 1]:
        if runs and runs[-1][0] == label:
            runs[-1][1] += 1
        else:
            runs.append([label, 1])
    silences = [length for label, length in runs if label == 'silent' and length >= 2]
    # A tone told for a few milliseconds only (a coder's start, a change of tone) joins the tone
    # before it, or after it at the start.
    tones_only = []
    for label, length in (r for r in runs if r[0] != 'silent'):
        if tones_only and (tones_only[-1][0] == label or length < 5):
            tones_only[-1][1] += length
        else:
            tones_only.append([label, length])
    if len(tones_only) > 1 and tones_only[0][1] < 5:
        tones_only[1][1] += tones_only.pop(0)[1]
    first = tones_only[0][1] if tones_only[0][0] == '1000' else 0
    last = tones_only[-1][1] if len(tones_only) > 1 and tones_only[-1][0] == '1000' else 0
    middle = sum(length for label, length in tones_only if label == '440')
    return first, middle, last, silences


def spread(values):
    return f'{statistics.median(values):+6.1f} [{min(values):+6.1f}, {max(values):+6.1f}]' if values else 'none'


def main():
    work, starts, beeps, rates = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
    runs = os.path.join(work, 'runs')
    settings = (('wine', "Wine's own sound settings"), ('100', 'PULSE_LATENCY_MSEC=100'))
    print(f'Presentation timing: {starts} starts a rate and setting, {beeps} beeps and 3 s of alternating '
          'pictures a start, 176 x 144')
    print('  s - p: each beep\'s onset minus its white picture\'s, ms, median [least, most] of a start;')
    print('         positive: the sound later. mpv plays the same pictures and sound (PCM, in Matroska).')
    print('  holds: each picture\'s time on the screen minus its interval, ms: the first second, the rest')
    print('         (median, sd); the first picture\'s own hold is not seen.')
    mpv_medians = {}
    for rate in rates:
        meds = []
        for start in range(1, starts + 1):
            d = sound_minus_picture(f'{runs}/mpv-mpv-flash-{rate}-{start}')
            if d:
                meds.append(statistics.median(d))
        mpv_medians[rate] = statistics.median(meds) if meds else None
    for setting, title in settings:
        print(f'\n== {title}')
        minimal = []
        for start in range(1, starts + 1):
            d = sound_minus_picture(f'{runs}/minimal-{setting}-flash-0-{start}')
            if d:
                minimal.append(statistics.median(d))
            print(f'  least wave-out program, start {start}: s - p {spread(d)} ({len(d)} beeps)')
        minimal_median = statistics.median(minimal) if minimal else None
        for rate in rates:
            nominal = 1000.0 / int(rate)
            print(f'  {rate} pictures a second (mpv\'s s - p, median of its starts: '
                  f'{mpv_medians[rate]:+.1f} ms)' if mpv_medians[rate] is not None else f'  {rate}: mpv saw no beep')
            for who in ('quillo', 'mpv'):
                if who == 'mpv' and setting != 'wine':
                    continue
                for start in range(1, starts + 1):
                    tag = 'mpv' if who == 'mpv' else setting
                    d = sound_minus_picture(f'{runs}/{who}-{tag}-flash-{rate}-{start}')
                    first, rest = holds(f'{runs}/{who}-{tag}-alternate-{rate}-{start}')
                    off = [h - nominal for h in first]
                    worst_first = max(off, key=abs) if off else float('nan')
                    rest_text = (f'{statistics.median(rest) - nominal:+5.1f} sd {statistics.pstdev(rest):4.1f} '
                                 f'worst {max((h - nominal for h in rest), key=abs):+6.1f}') if len(rest) > 1 else 'none'
                    against = ''
                    if d and mpv_medians[rate] is not None and who == 'quillo':
                        against = f' ({statistics.median(d) - mpv_medians[rate]:+.1f} from mpv'
                        if minimal_median is not None:
                            against += f', {statistics.median(d) - minimal_median:+.1f} from the least program'
                        against += ')'
                    print(f'    {who:<6} start {start}: s - p {spread(d)}{against}')
                    print(f'                   holds, first second: {" ".join(f"{h:+.0f}" for h in off)} '
                          f'(worst {worst_first:+.1f}); rest: {rest_text}')
            for who in ('mpv-mkv', 'mpv-mp4'):
                if setting != 'wine':
                    continue
                d = sound_minus_picture(f'{runs}/{who}-mpv-flash-{rate}-1')
                first, rest = holds(f'{runs}/{who}-mpv-alternate-{rate}-1')
                all_holds = first + rest
                print(f'    {who}: s - p {spread(d)}; holds {statistics.median(all_holds) - nominal:+.1f} '
                      f'sd {statistics.pstdev(all_holds):.1f}' if len(all_holds) > 1 else f'    {who}: no pictures seen')
        reference = tones(samples(os.path.join(work, 'clips', 'tones.pcm')), 8000)
        print(f'  tones (FFmpeg\'s own decoding: 1000 Hz {reference[0]} ms, 440 Hz {reference[1]} ms, '
              f'1000 Hz {reference[2]} ms)')
        for start in range(1, starts + 1):
            heard = tones(samples(f'{runs}/quillo-{setting}-tones-0-{start}.raw'), RECORDED_HZ)
            if heard is None:
                print(f'    start {start}: nothing heard')
                continue
            first, middle, last, silences = heard
            print(f'    start {start}: 1000 Hz {first} ms, 440 Hz {middle} ms, 1000 Hz {last} ms'
                  f' ({first - reference[0]:+d}, {middle - reference[1]:+d}, {last - reference[2]:+d}); '
                  f'silences inside: {" ".join(f"{s} ms" for s in silences) or "none"}')


if __name__ == '__main__':
    main()
