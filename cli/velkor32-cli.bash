# bash completion for velkor32-cli

_velkor32_cli() {
    local cur prev command
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    command=${COMP_WORDS[1]}

    if [[ $COMP_CWORD -eq 1 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "encrypt decrypt groups analyse --help --version" -- "$cur")
        return
    fi

    case $prev in
        --into)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --key-file)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --pass)
            if [[ $cur == file:* ]]; then
                mapfile -t COMPREPLY < <(compgen -P file: -f -- "${cur#file:}")
            elif [[ $cur == env:* ]]; then
                mapfile -t COMPREPLY < <(compgen -P env: -e -- "${cur#env:}")
            else
                mapfile -t COMPREPLY < <(compgen -W "env: file: fd:" -- "$cur")
                compopt -o nospace 2>/dev/null
            fi
            return
            ;;
        --extension | --jobs)
            return
            ;;
    esac

    local options
    case $command in
        encrypt | decrypt)
            options="--pass --key-file --extension --no-swift --force --quiet --into --jobs --help --"
            ;;
        groups)
            options="--force --quiet --help --"
            ;;
        analyse)
            options="--help --"
            ;;
        *)
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -o filenames -F _velkor32_cli velkor32-cli
